/* xgate.c - runs on the XGATE: the checksum thread (see README.md) */
#include "job.h"

unsigned int xg_runs;
unsigned int xg_start = 0x1D0F;

/* Rotate the sum left by one bit, then add the next byte. */
unsigned int checksum(const unsigned char *buf, unsigned int len)
{
    unsigned int sum = xg_start;
    register unsigned int i;

    for (i = 0; i < len; i++)
        sum = ((sum << 1) | (sum >> 15)) + buf[i];
    return sum;
}

/* The channel's thread: R1 holds the job when it starts. */
void xg_thread(register struct job *job)
{
    job->sum = checksum((const unsigned char *)job->data, job->len);
    xg_runs++;
}
