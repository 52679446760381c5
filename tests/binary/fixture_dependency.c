/* Stands for a compiler runtime DLL that a careless link would make the plug-in import. */
__declspec(dllexport) int fixture_dependency(void) {
    return 1;
}
