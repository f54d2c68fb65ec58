// A shared object without plugMain.
extern "C" __attribute__((visibility("default"))) int notPlugMain()
{
    return 0;
}
