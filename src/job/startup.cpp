// Start-up: placeholder until the job loop lands.
#include "platform/windows_services.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
