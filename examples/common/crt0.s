; crt0.s - start-up code of the example programs: stack, watchdog off,
; copy of initialised data from flash to RAM, clearing of .bss, call of main.
; Symbols come from s12x.ld.
	.section .text.startup,"ax"
	.globl	__stext
__stext:
	lds	#__stack_top
	movb	#0x00, 0x003C		; COPCTL: watchdog off
	ldx	#__data_image
	ldy	#__data_start
	ldd	#__data_size
	beq	2f
1:	movb	1,x+, 1,y+
	dbne	d, 1b
2:	ldx	#__bss_start
	ldd	#__bss_size
	beq	4f
3:	clr	1,x+
	dbne	d, 3b
4:	jsr	_main
5:	bra	5b

	.section .vectors,"a"
	.word	__stext			; reset

	.section .flashcfg,"a"
	.byte	0xFE			; FSEC at 0xFF0F: not secured
