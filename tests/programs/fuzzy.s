; The fuzzy-logic inference example: membership grades with mem, rule
; evaluation with rev, defuzzification with wav and ediv.
; Two inputs, three membership functions each (low, medium, high), three
; output singletons (slow 0x20, medium 0x80, fast 0xE0) and five rules.
        .sect .text
        .globl _start, done
_start: lds   #0x3F00
; fuzzification
        ldx   #functions
        ldy   #grades
        ldaa  input1
        mem
        mem
        mem
        ldx   #functions
        ldaa  input2
        mem
        mem
        mem
; rule evaluation: outputs cleared, A = 0xFF and V = 0 to start
        clr   out_slow
        clr   out_medium
        clr   out_fast
        ldx   #rules
        ldy   #grades
        ldaa  #0xFF
        rev
; defuzzification: sum(S*F) / sum(F)
        ldx   #singletons
        ldy   #out_slow
        ldab  #3
        wav
        std   sum_low
        sty   sum_high
        stx   sum_grades
        ediv
        sty   crisp
done:   bra   done

        .sect .data
        .globl input1, input2, grades, out_slow, out_medium, out_fast
        .globl sum_low, sum_high, sum_grades, crisp
; point 1, point 2, slope 1, slope 2 (slope 0: a vertical edge)
functions:
        .byte 0x00, 0x60, 0x00, 0x04   ; low
        .byte 0x40, 0xC0, 0x04, 0x04   ; medium
        .byte 0xA0, 0xFF, 0x04, 0x00   ; high
input1: .byte 0x48
input2: .byte 0xA8
grades: .byte 0, 0, 0, 0, 0, 0        ; in1 low, medium, high; in2 low, medium, high
out_slow: .byte 0
out_medium: .byte 0
out_fast: .byte 0
; offsets from grades: antecedents, 0xFE, consequents, 0xFE, …, 0xFF
rules:  .byte 0, 4, 0xFE, 8, 0xFE     ; in1 low and in2 medium -> fast
        .byte 1, 4, 0xFE, 7, 0xFE     ; in1 medium and in2 medium -> medium
        .byte 1, 5, 0xFE, 6, 0xFE     ; in1 medium and in2 high -> slow
        .byte 0, 5, 0xFE, 7, 0xFE     ; in1 low and in2 high -> medium
        .byte 2, 3, 0xFE, 6, 0xFF     ; in1 high and in2 low -> slow
singletons:
        .byte 0x20, 0x80, 0xE0
sum_low: .word 0
sum_high: .word 0
sum_grades: .word 0
crisp:  .word 0
