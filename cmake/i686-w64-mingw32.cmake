# The deliverables: 32-bit programs for Windows 95 and NT 3.51 and later.
#
# mingw's win32 thread model, not posix: the posix model links winpthreads,
# which imports kernel calls that neither Windows 95 nor NT 3.51 exports
# (GetTickCount64, AddVectoredExceptionHandler, TryEnterCriticalSection, ...).
# The runtime is linked statically, so the programs need no DLL of the
# toolchain's own; scripts/check-deliverables.sh checks what they import.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Subsystem and OS version 4.0 in the PE headers, pinned rather than left to
# the linker's defaults: both systems load it, and Windows 95 gives a 4.0
# program its own look.
set(QM_PE_VERSION_FLAGS "-Wl,--major-os-version,4,--minor-os-version,0,--major-subsystem-version,4,--minor-subsystem-version,0")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ ${QM_PE_VERSION_FLAGS}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ ${QM_PE_VERSION_FLAGS}")
