#pragma once

// The expansion of the game that the mod is installed for.
enum class Edition { Aftermath, Counterstrike };
