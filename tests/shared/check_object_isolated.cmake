# Fails when the object compiled with AVX code generation defines any symbol
# that the linker could merge with a copy compiled without it (weak or
# unique symbols, such as emitted inline functions and template
# instantiations): the only global definitions allowed are its own entry
# points, in the namespace ALLOWED (qz::detail::avx unless given).
if(NOT DEFINED ALLOWED)
  set(ALLOWED "qz::detail::avx::")
endif()
execute_process(COMMAND ${NM} -C --defined-only ${OBJECT} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${OBJECT}")
endif()
string(REGEX MATCHALL "[^\n]* [TWVuD] [^\n]*" global "${symbols}")
# 32-bit x86 position-independent code calls __x86.get_pc_thunk.<reg>, a
# two-instruction helper that every object may carry and that is the same
# whatever instruction set the object was compiled for.
foreach(line IN LISTS global)
  if(NOT line MATCHES " T ${ALLOWED}" AND NOT line MATCHES " T __x86\\.get_pc_thunk\\.[a-z]+$")
    message(FATAL_ERROR "shared symbol in the AVX object: ${line}")
  endif()
endforeach()
