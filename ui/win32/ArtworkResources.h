#pragma once

// The numbers of the main window's pictures among the program's resources. Plain macros, as the
// resource compiler reads this file too. A picture button's normal and highlighted pictures are
// found by adding its index to the first number of each set.
#define BEXOM_BANNER_BITMAP 100
#define BEXOM_FIRST_OFF_BITMAP 110
#define BEXOM_FIRST_ONN_BITMAP 120
// The same pictures drawn twice as large, for screens above 100 percent.
#define BEXOM_BANNER_2X_BITMAP 200
#define BEXOM_FIRST_OFF_2X_BITMAP 210
#define BEXOM_FIRST_ONN_2X_BITMAP 220
