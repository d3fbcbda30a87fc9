; a/util.s - compiled from a/util.c (see examples/README.md for the conventions)
	.file	1 "a/util.c"

	.section .bss
_count:
	.skip	2

	.text
; static void bump(void): no frame
	.type	_bump,@function
_bump:
	.loc	1 6 0
	ldx	_count
	inx
	stx	_count
	.loc	1 7 0
	rts
	.size	_bump, .-_bump

; int twice(int x): x at 0,sp
	.globl	_twice
	.type	_twice,@function
_twice:
	.loc	1 10 0
	pshd
	.loc	1 11 0
	jsr	_bump
	.loc	1 12 0
	ldd	0,sp
	lsld
	.loc	1 13 0
	leas	2,sp
	rts
	.size	_twice, .-_twice
