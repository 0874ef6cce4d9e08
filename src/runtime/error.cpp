#include "runtime/error.h"

#include "runtime/number_text.h"

namespace runtime {

std::string describe(ErrorNumber number) {
    switch (number) {
    case ErrorNumber::InvalidArgument:
        return "无效的过程调用或参数";
    case ErrorNumber::Overflow:
        return "溢出";
    case ErrorNumber::DivisionByZero:
        return "除数为零";
    case ErrorNumber::NameTooLong:
        return "文件名或路径太长，请改短文件名或换一个层次浅些的文件夹";
    case ErrorNumber::FileNotFound:
        return "文件未找到";
    case ErrorNumber::FileAlreadyOpen:
        return "文件已打开";
    case ErrorNumber::DeviceIo:
        return "设备 I/O 错误";
    case ErrorNumber::FileAlreadyExists:
        return "文件已存在";
    case ErrorNumber::DiskFull:
        return "磁盘已满";
    case ErrorNumber::InputPastEnd:
        return "输入超出文件尾";
    case ErrorNumber::TooManyFiles:
        return "打开的文件太多";
    case ErrorNumber::PermissionDenied:
        return "拒绝的权限";
    case ErrorNumber::DiskNotReady:
        return "磁盘未准备好";
    case ErrorNumber::PathFileAccess:
        return "路径/文件访问错误";
    case ErrorNumber::PathNotFound:
        return "路径未找到";
    case ErrorNumber::OtherSystemError:
        return "系统报告了错误";
    case ErrorNumber::TooManyLinks:
        return "符号链接层数太多（可能是循环链接）";
    case ErrorNumber::NotAFolder:
        return "路径中有一部分不是文件夹";
    case ErrorNumber::NotRegularFile:
        return "不是普通文件（是符号链接、文件夹、设备或管道），为了数据安全不读写它，请删除或改名"
               "后再试";
    case ErrorNumber::FileTooLarge:
        return "文件太大，超过了这个磁盘或系统允许的单个文件大小，请把分割后文件大小设小一些或换一"
               "个磁盘";
    case ErrorNumber::FileInUse:
        return "文件正被其他程序使用，请关闭该程序后再试";
    case ErrorNumber::IsAFolder:
        return "这是文件夹，不是文件，请选择一个文件";
    }
    return "系统报告了错误";
}

namespace {
std::string withPath(const std::string& description, const std::string& path) {
    return path.empty() ? description : description + "：" + path;
}
} // namespace

Error::Error(ErrorNumber number, const std::string& path) : Error(number, describe(number), path) {}

Error::Error(ErrorNumber number, const std::string& description, const std::string& path)
    : std::runtime_error(withPath(description, path)), number_(number), reason_(description),
      description_(withPath(description, path)) {}

Error systemError(int code, const std::string& path) {
    const ErrorNumber number = errorNumberFromSystem(code, path);
    if (number == ErrorNumber::OtherSystemError) {
        return Error(number, describe(number) + "（代码 " + decimalText(code) + "）", path);
    }
    return Error(number, path);
}

void throwSystemError(int code, const std::string& path) {
    throw systemError(code, path);
}

} // namespace runtime
