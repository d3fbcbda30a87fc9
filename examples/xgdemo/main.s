; main.s - compiled from main.c for the CPU12 (see ../README.md for the
; conventions and README.md for how a thread is started)
	.file	1 "main.c"

	.section .bss
	.globl	_buffer
_buffer:
	.skip	16
	.globl	_job
_job:
	.skip	6
	.globl	_result
_result:
	.skip	2

	.text
; int main(void): i at 0,sp
	.globl	_main
	.type	_main,@function
_main:
	.loc	1 17 0
	leas	-2,sp
	.loc	1 20 0
	movw	#0, 0,sp
	bra	.Lmain_test
.Lmain_body:
	.loc	1 21 0
	ldd	0,sp
	ldy	#7
	emul
	addd	#3
	ldx	0,sp
	stab	_buffer,x
	.loc	1 20 0
	ldx	0,sp
	inx
	stx	0,sp
.Lmain_test:
	ldd	0,sp
	cpd	#16
	blo	.Lmain_body
	.loc	1 22 0
	movw	#_buffer+0xC000, _job
	.loc	1 23 0
	movw	#16, _job+2
	.loc	1 24 0
	movw	#0, _job+4
	.loc	1 25 0
	movw	#_xg_thread, 0x039E
	.loc	1 26 0
	movw	#_job+0xC000, 0x03A2
	.loc	1 27 0
	movw	#0xD200, 0x03AE
	.loc	1 28 0
	movb	#0x80, 0x0381
	.loc	1 29 0
	movb	#0x39, 0x0382
	.loc	1 30 0
	ldx	#0x0382
.Lmain_wait:
	tst	0,x
	bne	.Lmain_wait
	.loc	1 32 0
	movw	_job+4, _result
	.loc	1 33 0
.Lmain_loop:
	bra	.Lmain_loop
	.loc	1 35 0
	leas	2,sp
	rts
	.size	_main, .-_main
