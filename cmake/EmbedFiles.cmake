# wendrel_embed_files(<output.cpp> <file>...) generates a source that holds
# each file's bytes in the table wendrel::embedded::kFiles, found by file
# name, so a Linux binary needs no files beside it.
function(wendrel_embed_files output)
    set(inputs ${ARGN})
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} "-DINPUTS=${inputs}"
                -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFilesScript.cmake
        DEPENDS ${inputs} ${PROJECT_SOURCE_DIR}/cmake/EmbedFilesScript.cmake
        COMMENT "Embedding packaged pictures"
        VERBATIM)
endfunction()
