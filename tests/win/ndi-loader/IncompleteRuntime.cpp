// A stand-in runtime that has only one of the functions the program needs.
extern "C" __declspec(dllexport) bool NDIlib_initialize() {
    return true;
}
