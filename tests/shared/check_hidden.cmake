#Fails when the shared library exports a symbol of the internal namespace.
execute_process(COMMAND ${NM} - D - C-- defined -
                only ${LIB} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc) if (NOT rc EQUAL 0)
    message(FATAL_ERROR "nm failed on ${LIB}") endif()
        string(REGEX MATCHALL "[^\n]*qz::[^\n]*" leaked "${symbols}") if (leaked)
            string(REPLACE
                   ";"
                   "\n" leaked "${leaked}")
                message(FATAL_ERROR "internal symbols exported:\n${leaked}") endif()
                    string(FIND
                           "${symbols}"
                           "Mtx2D::XfmPts" found) if (found EQUAL - 1)
                        message(FATAL_ERROR "the class interface is missing from the export table")
                            endif()
