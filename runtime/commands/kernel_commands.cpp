#include "runtime/commands/kernel_commands.h"

#include "runtime/commands/command_functions.h"

namespace rt {

using namespace commands;

const CommandFunction kKernelCommands[kKernelCommandCount] = {
    ShowMessage,           /* 0: ShowMessage */
    RemoveFile,            /* 1: RemoveFile */
    NumberToFormattedText, /* 2: NumberToFormattedText */
    ReadFileBytes,         /* 3: ReadFileBytes */
    ToText,                /* 4: ToText */
    FindText,              /* 5: FindText */
    GetProgramDirectory,   /* 6: GetProgramDirectory */
    MakeTempFileName,      /* 7: MakeTempFileName */
    ToBytes,               /* 8: ToBytes */
    WriteFileBytes,        /* 9: WriteFileBytes */
    ReadConfigItem,        /* 10: ReadConfigItem */
    TextLength,            /* 11: TextLength */
    TextRight,             /* 12: TextRight */
    SplitText,             /* 13: SplitText */
    MakeDirectory,         /* 14: MakeDirectory */
    CopyFileTo,            /* 15: CopyFileTo */
    ZeroBytes,             /* 16: ZeroBytes */
    BytesLength,           /* 17: BytesLength */
    PointerToBytes,        /* 18: PointerToBytes */
    BytesRight,            /* 19: BytesRight */
    BitAnd,                /* 20: BitAnd */
    BitNot,                /* 21: BitNot */
    IntDivide,             /* 22: IntDivide */
    ToUpper,               /* 23: ToUpper */
    CompareText,           /* 24: CompareText */
    TickCount,             /* 25: TickCount */
    WriteConfigItem,       /* 26: WriteConfigItem */
    ToInteger,             /* 27: ToInteger */
};

}  // namespace rt
