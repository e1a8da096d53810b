# The 32-bit test build: the test programs (process tests, stand-in tools, googletest)
# that run the shipped i686 exe under 32-bit Wine. The same target as the shipped build,
# with the posix-thread compilers that googletest builds with; the shipped exe itself
# keeps the default ones and is only copied into this build.
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
