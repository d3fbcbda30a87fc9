/* a/util.c - the first of two files named util.c */
static int count;

static void bump(void)
{
    count++;
}

int twice(int x)
{
    bump();
    return x * 2;
}
