/* b/util.c - the second of two files named util.c */
static int count = 100;

static void bump(void)
{
    count += 10;
}

int thrice(int x)
{
    bump();
    return x * 3;
}
