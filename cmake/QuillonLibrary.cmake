# quillon_library(<name> <sources...>): one static library per subsystem.
#
# Each library is seen by its users as <name>/Header.h through an include
# folder of its own (a link <build>/include/<name>/<name> to src/<name>), and
# passes on only the include folders of the libraries it links. So a library
# can include itself and what lies below it; an include that points up the
# dependency chain finds no file and fails to build.
function(quillon_library name)
    add_library(${name} STATIC ${ARGN})
    set(root ${PROJECT_BINARY_DIR}/include/${name})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${name} COPY_ON_ERROR SYMBOLIC)
    target_include_directories(${name} PUBLIC ${root})
endfunction()

# Moc runs again when the library gains a source file: without this, a
# header added after the first build keeps its signals unresolved until the
# moc output is removed by hand.
function(quillon_autogen_follows_sources name)
    set_property(TARGET ${name} APPEND PROPERTY AUTOGEN_TARGET_DEPENDS
                 ${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/${name}_autogen.dir/AutogenInfo.json)
endfunction()
