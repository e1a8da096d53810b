# Prints the size of the built exe and fails the build when it passes the budget.
# Called after linking with -DFILE=<exe> -DBUDGET=<bytes>.
file(SIZE "${FILE}" size)
math(EXPR kib "(${size} + 1023) / 1024")
math(EXPR budget_kib "${BUDGET} / 1024")
message(STATUS "korvadiag.exe: ${size} bytes (${kib} KiB of a ${budget_kib} KiB budget)")
if(size GREATER BUDGET)
  message(FATAL_ERROR "korvadiag.exe is ${size} bytes, over its budget of ${BUDGET}")
endif()
