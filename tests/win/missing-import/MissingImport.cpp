// Never reaches main when absent-import.dll is not beside it: the loader gives
// up first. Beside the DLL it prints its answer, which shows that the failure
// the test sees comes from the missing file alone.
#include <cstdio>

extern "C" __declspec(dllimport) int AbsentImportAnswer();

int main() {
    std::printf("answer %d\n", AbsentImportAnswer());
    return 0;
}
