; steps.s - an assembly program assembled with -g only: line rows, no types.
	.section .text.startup,"ax"
	.globl	__stext
	.type	__stext, @function
__stext:
	lds	#0x3F00
	ldd	#3
	jsr	twice
	std	result
	jsr	twice
	std	result
done:	bra	done
	.size	__stext, .-__stext

	.text
	.globl	twice
	.type	twice, @function
twice:
	asld
	addd	#1
	rts
	.size	twice, .-twice

	.section .bss
	.globl	result
result:	.word	0

	.section .vectors,"a"
	.word	__stext
