# Prints the size and SHA-256 of the built exe and, given a budget, fails the build when
# the exe passes it. Called after linking with -DFILE=<exe> [-DBUDGET=<bytes>].
file(SIZE "${FILE}" size)
file(SHA256 "${FILE}" sha256)
if(NOT BUDGET)
  message(STATUS "korvadiag.exe: ${size} bytes, SHA-256 ${sha256}")
  return()
endif()
math(EXPR kib "(${size} + 1023) / 1024")
math(EXPR budget_kib "${BUDGET} / 1024")
message(STATUS "korvadiag.exe: ${size} bytes (${kib} KiB of a ${budget_kib} KiB budget), SHA-256 ${sha256}")
if(size GREATER BUDGET)
  message(FATAL_ERROR "korvadiag.exe is ${size} bytes, over its budget of ${BUDGET}")
endif()
