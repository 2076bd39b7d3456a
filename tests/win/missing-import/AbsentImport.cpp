// The DLL that the test does not copy beside missing-import.exe.
extern "C" __declspec(dllexport) int AbsentImportAnswer() {
    return 42;
}
