#include "app/file_error_exit.h"

#include "platform/message_box.h"
#include "platform/process_exit.h"

void FailWithMessage(const QString& message) {
    AfxMessageBox(message, MB_OK | MB_ICONINFORMATION);
    AfxExitProcess(0);
}
