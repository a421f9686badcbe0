#pragma once

// The numbers are those of the runtime the installer grew up with; players and old forum posts
// quote them ("Run-time error '53'"), so they are kept as they were.
enum class RuntimeErrorCode {
    InvalidProcedureCall = 5,
    OutOfMemory = 7,
    InternalError = 51,
    FileNotFound = 53,
    FileAlreadyExists = 58,
    DiskFull = 61,
    InputPastEndOfFile = 62,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    PathNotFound = 76,
};
