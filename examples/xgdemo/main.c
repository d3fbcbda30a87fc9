/* main.c - runs on the CPU12: hands a buffer to an XGATE thread and waits */
#include "job.h"

#define XGMCTL  (*(volatile unsigned char *)0x0381)  /* bit 7: XGE */
#define XGCHID  (*(volatile unsigned char *)0x0382)  /* the channel that runs */
#define XGPC    (*(volatile unsigned int *)0x039E)
#define XGR1    (*(volatile unsigned int *)0x03A2)
#define XGR7    (*(volatile unsigned int *)0x03AE)
#define XG_ADDR(p)  ((unsigned int)(p) + 0xC000u)    /* fixed RAM as the XGATE sees it */
#define XG_STACK    0xD200u

unsigned char buffer[BUF_LEN];
struct job job;
unsigned int result;

int main(void)
{
    unsigned int i;

    for (i = 0; i < BUF_LEN; i++)
        buffer[i] = (unsigned char)(i * 7 + 3);
    job.data = XG_ADDR(buffer);
    job.len = BUF_LEN;
    job.sum = 0;
    XGPC = (unsigned int)xg_thread;
    XGR1 = XG_ADDR(&job);
    XGR7 = XG_STACK;
    XGMCTL = 0x80;
    XGCHID = CHANNEL;
    while (XGCHID != 0)
        ;
    result = job.sum;
    for (;;)
        ;
}
