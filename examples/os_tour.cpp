// A tour of the operating-system layer as a host uses it: a scratch folder
// with a name nobody has taken yet, a text file with mixed line ends read
// back line by line, whole-file copy and append, and the installed TrueType
// fonts in order.
//
// Usage: os_tour [folder]   (the scratch folder is made inside `folder`,
// by default the current directory, and removed again at the end)
#include <cstdio>
#include <cstdlib>

#include <qzutil/qzutil.h>

namespace {

// Prints a line with its end characters made visible.
void ShowLine(const char* line, std::int32_t length) {
  std::printf("  [");
  for (std::int32_t i = 0; i < length; ++i) {
    if (line[i] == '\r') {
      std::printf("\\r");
    } else if (line[i] == '\n') {
      std::printf("\\n");
    } else {
      std::putchar(line[i]);
    }
  }
  std::printf("]\n");
}

}  // namespace

int main(int argc, char** argv) {
  const char* parent = argc > 1 ? argv[1] : ".";
  char stamp[14];
  osh_get_time_stamp(stamp);
  std::printf("time stamp %s\n", stamp);

  // A scratch folder "tourAA", "tourAB", ... whichever is free.
  char base[1024], work[1024];
  osh_append_path(parent, "tour", base);
  if (utl_unique_filename(base, "AA", work) != 0 || osh_mkdir(work) == 0) {
    std::fprintf(stderr, "cannot make a scratch folder in %s\n", parent);
    return 1;
  }
  std::printf("scratch folder %s\n", work);

  char notes[1024], copy[1024];
  osh_append_path(work, "notes.txt", notes);
  osh_append_path(work, "copy.txt", copy);
  std::FILE* out = osh_fopen_binary(notes, "w");
  if (out == nullptr) return 1;
  osh_fputs("first line\r\nsecond line\rthird line\nrow ", out);
  osh_fputint(42, 4, out);
  osh_fclose(out);

  // Line ends may be LF, CR or CR LF; each line keeps its own.
  std::FILE* in = osh_fopen_binary(notes, "r");
  if (in == nullptr) return 1;
  std::printf("%s, line by line:\n", notes);
  char line[256];
  for (std::int32_t n; (n = osh_readLine(in, line, sizeof line)) > 0;)
    ShowLine(line, n);
  osh_fclose(in);

  osh_copyfile(copy, notes);
  osh_cat(copy, notes);
  std::printf("notes %d bytes, copy with notes appended %d bytes\n", osh_filesize(notes),
              osh_filesize(copy));

  // Names taken: the odometer moves on to the next free one.
  char report[1024], fresh[1024];
  osh_append_path(work, "report", report);
  utl_unique_filename(report, "A.txt", fresh);
  osh_copyfile(fresh, notes);
  char next[1024];
  utl_unique_filename(report, "A.txt", next);
  std::printf("first free report name %s, then %s (extension %s)\n", fresh, next,
              utl_file_extension(next));

  char** fonts = osh_GetFontFileList();
  if (fonts == nullptr) {
    std::printf("no TrueType fonts installed\n");
  } else {
    std::size_t count = 0;
    while (fonts[count] != nullptr)
      ++count;
    std::qsort(fonts, count, sizeof fonts[0],
               [](const void* a, const void* b) { return int{osh_qsort_compare_strings(a, b)}; });
    std::printf("%zu TrueType fonts, the first ones in order:\n", count);
    for (std::size_t i = 0; i < count && i < 5; ++i)
      std::printf("  %s\n", fonts[i]);
    osh_FreeFontFileList(&fonts);
  }

  osh_unlink(fresh);
  osh_unlink(copy);
  osh_unlink(notes);
  return osh_rmdir(work) == 1 ? 0 : 1;
}
