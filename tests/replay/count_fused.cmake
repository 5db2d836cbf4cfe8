# Fails when PROGRAM holds a fused multiply-add: the rules would then round otherwise than
# on a machine without one, and a replay would part ways from its recording.
# cmake -DOBJDUMP=objdump -DPROGRAM=path -P count_fused.cmake
execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${PROGRAM}
                OUTPUT_FILE ${PROGRAM}.disassembly RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${PROGRAM}")
endif()
# x86-64 (FMA3 and FMA4) and aarch64 spellings.
file(STRINGS ${PROGRAM}.disassembly fused
     REGEX "[ \t](vfn?m(add|sub)[a-z0-9]*|fn?madd|fn?msub|fml[as])[ \t]")
file(REMOVE ${PROGRAM}.disassembly)
list(LENGTH fused count)
message(STATUS "${count} fused multiply-adds in ${PROGRAM}")
if(count GREATER 0)
  list(SUBLIST fused 0 10 first)
  string(REPLACE ";" "\n" first "${first}")
  message(FATAL_ERROR "fused multiply-adds, the first of them:\n${first}")
endif()
