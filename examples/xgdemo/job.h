/* job.h - the work the CPU12 hands to the XGATE */
#define BUF_LEN 16
#define CHANNEL 0x39   /* the XGATE channel main starts */

/* Lives in the fixed RAM, which both cores see; `data` is an XGATE address. */
struct job {
    unsigned int data;
    unsigned int len;
    unsigned int sum;
};

void xg_thread(struct job *job);
