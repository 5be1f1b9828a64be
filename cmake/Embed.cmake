# vgx_embed_resources(<out.cpp> <type> <id> <file> [<type> <id> <file> ...])
# Writes a C++ source holding each file's bytes, found by type name and id at run time
# through app/embedded_resources.h.
function(vgx_embed_resources out)
  set(args ${ARGN})
  set(defs "")
  set(table "")
  set(n 0)
  list(LENGTH args len)
  while(n LESS len)
    list(GET args ${n} type)
    math(EXPR i1 "${n} + 1")
    math(EXPR i2 "${n} + 2")
    list(GET args ${i1} id)
    list(GET args ${i2} file)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    file(READ ${file} hex HEX)
    string(LENGTH "${hex}" hexlen)
    math(EXPR size "${hexlen} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){24})" "\\1\n" bytes "${bytes}")
    string(APPEND defs "const unsigned char k${type}${id}[] = {\n${bytes}\n};\n")
    string(APPEND table "    {\"${type}\", ${id}, k${type}${id}, ${size}},\n")
    math(EXPR n "${n} + 3")
  endwhile()
  file(CONFIGURE OUTPUT ${out} CONTENT "// Generated from resources/ by cmake/Embed.cmake.
#include \"app/embedded_resources.h\"

namespace vgx {
namespace {
${defs}
struct Entry {
    const char* type;
    unsigned id;
    const unsigned char* data;
    std::size_t size;
};
const Entry kEntries[] = {
${table}};
}  // namespace

std::optional<std::span<const unsigned char>> FindResource(std::string_view type, unsigned id) {
    for (const Entry& e : kEntries) {
        if (type == e.type && id == e.id) return std::span<const unsigned char>(e.data, e.size);
    }
    return std::nullopt;
}

}  // namespace vgx
" @ONLY)
endfunction()

# The program's five resources, with `iis_tool` as the web-server restart tool.
function(vgx_embed_program_resources out iis_tool)
  set(res ${PROJECT_SOURCE_DIR}/resources)
  vgx_embed_resources(${out}
    IIS 101 ${iis_tool}
    XP 102 ${res}/xp.png
    XP2 103 ${res}/xp2.png
    MENU 104 ${res}/menu.png
    MENU2 105 ${res}/menu2.png)
endfunction()
