# Runs the snapshot mode into a fresh folder and checks that every tool
# window, the extra windows and both layouts of the floating menu came out
# as non-empty PNGs, and that the throw-away data folder is gone afterwards
# (the run gets a temporary directory of its own to look in).
file(REMOVE_RECURSE ${OUT} ${OUT}-tmp)
file(MAKE_DIRECTORY ${OUT}-tmp)
set(ENV{TMPDIR} ${OUT}-tmp)
execute_process(COMMAND ${EXE} --snapshots ${OUT} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "snapshot mode exited with ${rc}\n${out}\n${err}")
endif()
set(expected calculator scientific wordProcessor stickyNotes recorder focus citation invoice
             timeline converter loanGPA passwords solitaire bingo sticky-note
             settings help about floating-menu-v floating-menu-h)
foreach(key ${expected})
    set(f ${OUT}/${key}.png)
    if(NOT EXISTS ${f})
        message(FATAL_ERROR "missing snapshot ${f}\n${out}")
    endif()
    file(SIZE ${f} size)
    if(size LESS 1000)
        message(FATAL_ERROR "snapshot ${f} is only ${size} bytes")
    endif()
endforeach()
file(GLOB left LIST_DIRECTORIES true ${OUT}-tmp/VEXO-Brindleworks-snapshots-*)
if(left)
    message(FATAL_ERROR "snapshot mode left its data folder behind: ${left}")
endif()
