# Removes from the program's folder (FOLDER) every program, library, plug-in and debug file that is not among
# the shipped file names listed in SHIPPED. Folders and the program's own data files stay.
cmake_minimum_required(VERSION 3.20)
file(READ ${SHIPPED} keep)
file(GLOB present LIST_DIRECTORIES false ${FOLDER}/*)
foreach(path ${present})
    get_filename_component(name ${path} NAME)
    string(TOUPPER ${name} upper)
    if(upper MATCHES "\\.(EXE|SPI|DLL|DBG|PDB)$" AND NOT name IN_LIST keep)
        message(STATUS "Removing ${name}: it does not ship")
        file(REMOVE ${path})
    endif()
endforeach()
