// Converts a file of IBM hexadecimal floating-point numbers, stored
// big-endian as on tape, to IEEE numbers in little-endian order, or back.
//
//   ibm_float_convert to-ieee [-d] <in> <out>   IBM (big-endian) -> IEEE (little-endian)
//   ibm_float_convert to-ibm  [-d] <in> <out>   IEEE (little-endian) -> IBM (big-endian)
//   ibm_float_convert demo                      converts a few values and shows each step
//
// -d reads and writes 8-byte doubles; the default is 4-byte singles. Each
// direction is two steps: the byte-order reversal with tra_swap_bytes and the
// format conversion with tra_convert_flpt, which works on little-endian
// words. IBM to IEEE is exact for singles in the normal IEEE range; IEEE to
// IBM drops up to three low bits (truncation), so a round trip may not give
// back every input bit.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <qzutil/qzutil.h>

namespace {

constexpr unsigned short kSingle = 0xA4, kDouble = 0xB8;
constexpr int kIeeeToIbm = 4, kIbmToIeee = 16;

// tra_convert_flpt takes a 16-bit count: whole buffers go in chunks.
void ConvertAll(bool to_ieee, unsigned short type, std::vector<unsigned char>& data) {
  const std::size_t size = type == kDouble ? 8 : 4;
  const std::size_t count = data.size() / size;
  if (to_ieee) tra_swap_bytes(type, static_cast<std::uint32_t>(count), data.data(), data.data());
  for (std::size_t i = 0; i < count; i += 65535) {
    const auto n = static_cast<unsigned short>(std::min<std::size_t>(65535, count - i));
    unsigned char* p = data.data() + i * size;
    tra_convert_flpt(to_ieee ? kIbmToIeee : kIeeeToIbm, type, n, p, p);
  }
  if (!to_ieee) tra_swap_bytes(type, static_cast<std::uint32_t>(count), data.data(), data.data());
}

int ConvertFile(bool to_ieee, unsigned short type, const char* in_name, const char* out_name) {
  std::FILE* in = std::fopen(in_name, "rb");
  if (in == nullptr) {
    std::perror(in_name);
    return 1;
  }
  std::vector<unsigned char> data;
  unsigned char block[65536];
  std::size_t got = 0;
  while ((got = std::fread(block, 1, sizeof block, in)) > 0)
    data.insert(data.end(), block, block + got);
  std::fclose(in);
  const std::size_t size = type == kDouble ? 8 : 4;
  if (data.size() % size != 0) {
    std::fprintf(stderr, "%s: %zu bytes is not a whole number of %zu-byte values\n", in_name,
                 data.size(), size);
    return 1;
  }
  ConvertAll(to_ieee, type, data);
  std::FILE* out = std::fopen(out_name, "wb");
  if (out == nullptr || std::fwrite(data.data(), 1, data.size(), out) != data.size()) {
    std::perror(out_name);
    if (out != nullptr) std::fclose(out);
    return 1;
  }
  if (std::fclose(out) != 0) {
    std::perror(out_name);
    return 1;
  }
  std::printf("%zu values converted to %s\n", data.size() / size, to_ieee ? "IEEE" : "IBM");
  return 0;
}

void PrintBytes(const char* label, const unsigned char* p, std::size_t n) {
  std::printf("  %-22s", label);
  for (std::size_t i = 0; i < n; ++i)
    std::printf("%02X", p[i]);
  std::printf("\n");
}

// Builds the tape form of a few singles, then reads it back.
int Demo() {
  const float values[] = {1.0f, -2.0f, 100.0f, 0.1f, 3.0e38f};
  for (const float v : values) {
    std::vector<unsigned char> data(4);
    std::memcpy(data.data(), &v, 4);
    std::printf("%.9g\n", static_cast<double>(v));
    PrintBytes("IEEE, little-endian:", data.data(), 4);
    ConvertAll(false, kSingle, data);
    PrintBytes("IBM, big-endian:", data.data(), 4);
    ConvertAll(true, kSingle, data);
    float back = 0;
    std::memcpy(&back, data.data(), 4);
    std::printf("  %-22s%.9g\n", "back to IEEE:", static_cast<double>(back));
  }
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: ibm_float_convert to-ieee|to-ibm [-d] <in> <out>\n"
               "       ibm_float_convert demo\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "demo") == 0) return Demo();
  if (argc < 4) return Usage();
  const bool to_ieee = std::strcmp(argv[1], "to-ieee") == 0;
  if (!to_ieee && std::strcmp(argv[1], "to-ibm") != 0) return Usage();
  const bool doubles = std::strcmp(argv[2], "-d") == 0;
  if (argc != (doubles ? 5 : 4)) return Usage();
  return ConvertFile(to_ieee, doubles ? kDouble : kSingle, argv[doubles ? 3 : 2],
                     argv[doubles ? 4 : 3]);
}
