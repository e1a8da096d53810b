# Prints the size and SHA-256 of the built exe and fails the build when it passes the
# budget. Called after linking with -DFILE=<exe> -DBUDGET=<bytes>.
file(SIZE "${FILE}" size)
file(SHA256 "${FILE}" sha256)
math(EXPR kib "(${size} + 1023) / 1024")
math(EXPR budget_kib "${BUDGET} / 1024")
message(STATUS "korvadiag.exe: ${size} bytes (${kib} KiB of a ${budget_kib} KiB budget), SHA-256 ${sha256}")
if(size GREATER BUDGET)
  message(FATAL_ERROR "korvadiag.exe is ${size} bytes, over its budget of ${BUDGET}")
endif()
