#pragma once

#include <cstdint>

#include "runtime/arg_value.h"

// The kernel commands, by the names the program knows them by. Each fills
// the zeroed result from `count` contiguous arguments; see kernel_commands.h
// for their places in the table.
namespace rt::commands {

#define RT_KERNEL_COMMAND(name) void name(ArgValue* result, int32_t count, ArgValue* args)

// Message box (message_box_command.cpp).
RT_KERNEL_COMMAND(ShowMessage);
// Files and directories (file_commands.cpp).
RT_KERNEL_COMMAND(RemoveFile);
RT_KERNEL_COMMAND(ReadFileBytes);
RT_KERNEL_COMMAND(WriteFileBytes);
RT_KERNEL_COMMAND(GetProgramDirectory);
RT_KERNEL_COMMAND(MakeTempFileName);
RT_KERNEL_COMMAND(MakeDirectory);
RT_KERNEL_COMMAND(CopyFileTo);
// INI files (config_commands.cpp).
RT_KERNEL_COMMAND(ReadConfigItem);
RT_KERNEL_COMMAND(WriteConfigItem);
// Texts (text_commands.cpp).
RT_KERNEL_COMMAND(FindText);
RT_KERNEL_COMMAND(TextLength);
RT_KERNEL_COMMAND(TextRight);
RT_KERNEL_COMMAND(SplitText);
RT_KERNEL_COMMAND(ToUpper);
RT_KERNEL_COMMAND(CompareText);
// Conversions (conversion_commands.cpp).
RT_KERNEL_COMMAND(ToText);
RT_KERNEL_COMMAND(ToBytes);
RT_KERNEL_COMMAND(ToInteger);
// Numbers, bits and time (number_commands.cpp).
RT_KERNEL_COMMAND(NumberToFormattedText);
RT_KERNEL_COMMAND(BitAnd);
RT_KERNEL_COMMAND(BitNot);
RT_KERNEL_COMMAND(IntDivide);
RT_KERNEL_COMMAND(TickCount);
// Byte sets (byte_set_commands.cpp).
RT_KERNEL_COMMAND(ZeroBytes);
RT_KERNEL_COMMAND(BytesLength);
RT_KERNEL_COMMAND(PointerToBytes);
RT_KERNEL_COMMAND(BytesRight);

#undef RT_KERNEL_COMMAND

}  // namespace rt::commands
