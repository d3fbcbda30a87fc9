; main.s - compiled from main.c (see examples/README.md for the conventions)
	.file	1 "main.c"

	.section .bss
	.globl	_result
_result:
	.skip	2

	.text
; int main(void): no autos; the sum's first operand is kept on the stack
	.globl	_main
	.type	_main,@function
_main:
	.loc	1 9 0
	ldd	#5
	jsr	_twice
	pshd
	ldd	#7
	jsr	_thrice
	addd	0,sp
	leas	2,sp
	std	_result
.Lmain_forever:
	.loc	1 11 0
	ldx	_result
	inx
	stx	_result
	bra	.Lmain_forever
	.loc	1 13 0
	rts
	.size	_main, .-_main
