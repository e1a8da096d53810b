# The shipped build: 32-bit Windows, default (win32-thread) mingw-w64 compilers, so the
# exe imports nothing that Windows before XP lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(KORVADIAG_PACKAGE_ARCH win32)
set(KORVADIAG_OBJDUMP i686-w64-mingw32-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Windows 95 runs on a 386: the product's code uses no instruction a later processor
# brought (the compilers' default, pentiumpro, would emit conditional moves). The stack
# keeps the 4-byte alignment of the 32-bit Windows ABI. No frame may be larger than a
# page (the build warns, and script/test fails), so no frame can step over the stack's
# guard page and none needs a stack probe; without probes the compiler pushes call
# arguments, and without a frame pointer it saves its three instructions in each of a
# hundred functions: both keep the exe within its budget.
set(KORVADIAG_PRODUCT_ARCH -march=i386 -mpreferred-stack-boundary=2 -mno-stack-arg-probe
  -fomit-frame-pointer -Wframe-larger-than=4096)
