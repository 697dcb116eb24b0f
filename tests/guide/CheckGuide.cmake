# Checks the built user guide: a PDF that poppler reads, with a plausible page count and every
# chapter title in its text. Run by ctest with -DGUIDE=<path of the PDF>.

set(_chapters
    "What Tumblet Does"
    "Installing Tumblet"
    "The Editor"
    "Presets"
    "The init preset"
    "MIDI Learn and Set CC"
    "The Main Menu"
    "Skins"
    "Octave numbering"
    "Rendering Without a DAW"
    "Troubleshooting")
# Each chapter starts a page; the tables of controls take two more.
set(_min_pages 10)
set(_max_pages 16)

if(NOT EXISTS "${GUIDE}")
    message(FATAL_ERROR "The user guide was not built: ${GUIDE}")
endif()
execute_process(COMMAND pdfinfo "${GUIDE}" OUTPUT_VARIABLE _info RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "pdfinfo cannot read ${GUIDE} (install poppler-utils)")
endif()
string(REGEX MATCH "Pages: *([0-9]+)" _ "${_info}")
set(_pages ${CMAKE_MATCH_1})
if(_pages LESS _min_pages OR _pages GREATER _max_pages)
    message(FATAL_ERROR "The user guide has ${_pages} pages, expected ${_min_pages} to ${_max_pages}")
endif()
if(NOT _info MATCHES "Title: *Tumblet User Guide")
    message(FATAL_ERROR "The user guide's title is missing:\n${_info}")
endif()
execute_process(COMMAND pdftotext -layout "${GUIDE}" - OUTPUT_VARIABLE _text RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "pdftotext cannot read ${GUIDE}")
endif()
foreach(_chapter ${_chapters})
    string(FIND "${_text}" "${_chapter}" _at)
    if(_at LESS 0)
        message(FATAL_ERROR "The user guide lacks the chapter \"${_chapter}\"")
    endif()
endforeach()
# Every picture was drawn: a missing one leaves a marked place in the text.
string(FIND "${_text}" "Picture to come" _at)
if(NOT _at LESS 0)
    message(FATAL_ERROR "The user guide lacks a picture of the editor")
endif()
message(STATUS "User guide: ${_pages} pages, every chapter present")
