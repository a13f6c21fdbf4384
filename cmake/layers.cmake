# Which headers each part of the tree can reach. There is no include root
# for the whole tree: a library publishes the folder of headers its users
# may include, under its own name ("core/grid/grid_data.h",
# "savio/spssfio.h"), and a target reaches only what the libraries it links
# publish and what it asks for itself. tools/check-includes checks the
# directions between the layers against tools/include-rules.

# Makes the headers under dir reachable from target as "<prefix>/...": a
# folder in the build tree holds a link named prefix to dir, and that folder
# is added to target's include path with the given scope.
function(lorivane_headers target scope view prefix dir)
  set(folder "${CMAKE_BINARY_DIR}/include/${view}")
  file(MAKE_DIRECTORY "${folder}")
  if(NOT EXISTS "${folder}/${prefix}")
    file(CREATE_LINK "${dir}" "${folder}/${prefix}" SYMBOLIC)
  endif()
  target_include_directories(${target} ${scope} "${folder}")
endfunction()
