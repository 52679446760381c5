/* A library that breaks the rules the plug-in keeps, so the artefact checks can be seen to reject it: it
   exports a second function, and on Windows it imports a DLL that no Windows installation has. */
#if defined(_WIN32)
#define FIXTURE_EXPORT __declspec(dllexport)
int fixture_dependency(void);
#else
#define FIXTURE_EXPORT __attribute__((visibility("default")))
static int fixture_dependency(void) {
    return 1;
}
#endif

FIXTURE_EXPORT int main(void) {
    return fixture_dependency();
}

FIXTURE_EXPORT int fixture_leaked(void) {
    return 2;
}
