// Bitmap resources of the GDI adapter tests (ids clear of the program's own).
#pragma once

#define IDB_TEST_ALPHA32 9001
#define IDB_TEST_RGB24 9002
#define IDB_TEST_MISSING 9003
