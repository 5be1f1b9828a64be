# promtool and node_exporter for the tests, as scripts/install-deps.sh unpacks them (never
# installed as packages). Either may be missing: the tests that need it are then not registered
# or skip with the reason.
set(VGX_TOOLS_DIR "${PROJECT_SOURCE_DIR}/.cache/tools" CACHE PATH
    "Folder with promtool and node_exporter for the tests")
find_program(VGX_PROMTOOL NAMES promtool HINTS ${VGX_TOOLS_DIR})
find_program(VGX_NODE_EXPORTER NAMES node_exporter prometheus-node-exporter
             HINTS ${VGX_TOOLS_DIR})
# The paths for the test programs, empty when not found.
foreach(tool VGX_PROMTOOL VGX_NODE_EXPORTER)
  if(${tool})
    set(${tool}_PATH "${${tool}}")
  else()
    set(${tool}_PATH "")
    message(STATUS "${tool}: not found in ${VGX_TOOLS_DIR} (scripts/install-deps.sh unpacks it)")
  endif()
endforeach()
