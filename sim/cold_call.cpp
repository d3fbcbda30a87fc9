#include "sim/cold_call.h"

#if defined(__x86_64__) && defined(__GNUC__) && !defined(TAV_PLAIN_COLD_CALLS)
// Saves the general registers a call may change (rax carries the function
// in and the result out), aligns the stack for the callee and calls it.
asm(R"(
        .text
        .p2align 4
        .globl  tav_cold_call_thunk
        .hidden tav_cold_call_thunk
        .type   tav_cold_call_thunk, @function
tav_cold_call_thunk:
        .cfi_startproc
        pushq   %rbp
        .cfi_def_cfa_offset 16
        .cfi_offset %rbp, -16
        movq    %rsp, %rbp
        .cfi_def_cfa_register %rbp
        pushq   %rcx
        pushq   %rdx
        pushq   %rsi
        pushq   %rdi
        pushq   %r8
        pushq   %r9
        pushq   %r10
        pushq   %r11
        andq    $-16, %rsp
        call    *%rax
        leaq    -64(%rbp), %rsp
        popq    %r11
        popq    %r10
        popq    %r9
        popq    %r8
        popq    %rdi
        popq    %rsi
        popq    %rdx
        popq    %rcx
        popq    %rbp
        .cfi_def_cfa %rsp, 8
        ret
        .cfi_endproc
        .size   tav_cold_call_thunk, .-tav_cold_call_thunk
)");
#endif
