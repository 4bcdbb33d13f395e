// The system texts of the error codes the layer and the program can meet, word for word as
// Windows shows them (English), each ending in CR LF.
#include "messages.h"

namespace {

struct MessageRow {
    DWORD code;
    const char *text;
};

const MessageRow message_rows[] = {
    {0, "The operation completed successfully.\r\n"},
    {1, "Incorrect function.\r\n"},
    {2, "The system cannot find the file specified.\r\n"},
    {3, "The system cannot find the path specified.\r\n"},
    {4, "The system cannot open the file.\r\n"},
    {5, "Access is denied.\r\n"},
    {6, "The handle is invalid.\r\n"},
    {8, "Not enough memory resources are available to process this command.\r\n"},
    {14, "Not enough memory resources are available to complete this operation.\r\n"},
    {19, "The media is write protected.\r\n"},
    {21, "The device is not ready.\r\n"},
    {29, "The system cannot write to the specified device.\r\n"},
    {30, "The system cannot read from the specified device.\r\n"},
    {31, "A device attached to the system is not functioning.\r\n"},
    {32, "The process cannot access the file because it is being used by another process.\r\n"},
    {38, "Reached the end of the file.\r\n"},
    {50, "The request is not supported.\r\n"},
    {80, "The file exists.\r\n"},
    {87, "The parameter is incorrect.\r\n"},
    {109, "The pipe has been ended.\r\n"},
    {112, "There is not enough space on the disk.\r\n"},
    {122, "The data area passed to a system call is too small.\r\n"},
    {123, "The filename, directory name, or volume label syntax is incorrect.\r\n"},
    {126, "The specified module could not be found.\r\n"},
    {127, "The specified procedure could not be found.\r\n"},
    {157, "The segment is already discarded and cannot be locked.\r\n"},
    {158, "The segment is already unlocked.\r\n"},
    {170, "The requested resource is in use.\r\n"},
    {206, "The filename or extension is too long.\r\n"},
    {267, "The directory name is invalid.\r\n"},
    {1062, "The service has not been started.\r\n"},
    {1117, "The request could not be performed because of an I/O device error.\r\n"},
    {1223, "The operation was canceled by the user.\r\n"},
    {1460, "This operation returned because the timeout period expired.\r\n"},
    {1722, "The RPC server is unavailable.\r\n"},
    {1801, "The printer name is invalid.\r\n"},
    {1921, "The name of the file cannot be resolved by the system.\r\n"},
    {3012, "No printers were found.\r\n"},
};

}  // namespace

const char *system_message_text(DWORD code) {
    for (const MessageRow &row : message_rows) {
        if (row.code == code) return row.text;
    }
    return nullptr;
}
