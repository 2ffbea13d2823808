// The numbered runtime errors that compiled code raises through entry slot 0, and the kernel's
// own messages. Every runtime error shows one box and ends the program with exit code -1.
#pragma once

#include <cstdint>
#include <string>

namespace quorlin {

// The message of a numbered runtime error (1 to 11); null for another code.
const char* NumberedErrorMessage(int32_t code);

// The box text of a runtime error with this message and code.
// "运行时出错!\r\n\r\n", then "错误代码：<code>\r\n\r\n" when the code is not 0, then
// "错误信息：<message>\r\n" when the message is not empty.
std::string RuntimeErrorText(const char* message, int32_t code);

namespace KernelMessage {
extern const char* const TemplateDataUnreadable;   // 载入窗口模板数据段出错!
extern const char* const StartWindowFailed;        // 载入启动窗口失败
extern const char* const AllocationFailed;         // 分配 %d 字节内存失败!
extern const char* const DllFunctionNotFound;      // 无法找到指定DLL库文件“%s”中的输出命令“%s”
extern const char* const DefaultDllFunctionNotFound;  // 无法找到指定DLL库文件中的输出命令“%s”
extern const char* const UnitNotLoaded;            // 指定窗口或窗口组件不存在或尚未载入
extern const char* const ErrorCaption;             // 错误
}  // namespace KernelMessage

}  // namespace quorlin
