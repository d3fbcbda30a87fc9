# Assembling target programs for the S12X with the GNU tools at build time:
# tav_assemble_program(<outputs-var> <source.s> <linker-script>) produces
# <name>.s19 (S-records at global addresses, from the sections' load
# addresses) and <name>.sym (the m68hc11-nm list) in the current binary dir.
find_program(TAV_M68HC11_AS m68hc11-as REQUIRED)
find_program(TAV_M68HC11_LD m68hc11-ld REQUIRED)
find_program(TAV_M68HC11_OBJCOPY m68hc11-objcopy REQUIRED)
find_program(TAV_M68HC11_NM m68hc11-nm REQUIRED)

function(tav_assemble_program outputs source linker_script)
  get_filename_component(name ${source} NAME_WE)
  set(base ${CMAKE_CURRENT_BINARY_DIR}/${name})
  add_custom_command(
    OUTPUT ${base}.s19 ${base}.sym ${base}.elf
    COMMAND ${TAV_M68HC11_AS} -mm9s12x -o ${base}.o ${source}
    COMMAND ${TAV_M68HC11_LD} -m m68hc12elf -T ${linker_script} -o ${base}.elf ${base}.o
    COMMAND ${TAV_M68HC11_OBJCOPY} -O srec ${base}.elf ${base}.s19
    COMMAND sh -c "${TAV_M68HC11_NM} ${base}.elf > ${base}.sym"
    DEPENDS ${source} ${linker_script}
    COMMENT "Assembling ${name}.s"
    VERBATIM)
  set(${outputs} ${base}.s19 ${base}.sym PARENT_SCOPE)
endfunction()
