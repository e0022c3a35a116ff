#pragma once

#include <string>

// The output of a command run from a script or a prompt. The updater is a
// window program: it has no console of its own. Output redirected to a file
// or a pipe arrives as inherited handles and gets UTF-8 bytes; otherwise the
// program attaches to the console of the prompt that started it and writes
// UTF-16 there, so that Chinese texts read right in both.
namespace updater::console {

enum class Stream { Out, Error };

// Writes a GBK text; nothing happens where there is nowhere to write.
void write(Stream stream, const std::string& gbk);
// The text and a line break (CR LF).
void write_line(Stream stream, const std::string& gbk);

// Whether the stream goes to a console that someone watches, rather than to
// a file or a pipe.
bool is_terminal(Stream stream);

}  // namespace updater::console
