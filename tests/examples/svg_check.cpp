// svg_check FILE PATHS: checks the SVG that the draw_svg example writes.
// The file must be well-formed in the XML subset the example uses (optional
// declaration, comments, key="value" attributes given once, predefined or
// numeric references, elements closed in order, one root). The root must be
// <svg> in the SVG namespace with a viewBox of positive size, and there must be
// exactly PATHS <path> elements whose data are absolute moves and lines
// ("M x y", "L x y") with every point inside the viewBox.
// Prints "ok" and exits 0, or prints the first problem and exits 1.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kNone = std::string::npos;
[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what);
}

// Text and attribute values hold no '<' and only predefined or numeric references.
void CheckReferences(const std::string& text) {
  static const std::regex kBad("<|&(?!(lt|gt|amp|quot|apos|#[0-9]+|#x[0-9a-fA-F]+);)");
  std::smatch bad;
  if (std::regex_search(text, bad, kBad)) Fail("stray '" + bad.str() + "' in " + text);
}

struct Svg {
  int paths = 0;
  double x = 0.0, y = 0.0, width = 0.0, height = 0.0;
};

void CheckPath(const std::string& d, const Svg& svg) {
  const char* p = d.c_str();
  int points = 0;
  for (char command = 0; (command = *p++) != '\0'; ++points) {
    if (command != 'M' && (command != 'L' || points == 0)) {
      Fail(std::string("path command '") + command + "' is not M, or L after M");
    }
    char *end = nullptr, *next = nullptr;
    const double x = std::strtod(p, &end), y = std::strtod(end, &next);
    if ((p = next) == end) Fail("two numbers expected after " + std::string(1, command));
    if (!(x >= svg.x && x <= svg.x + svg.width && y >= svg.y && y <= svg.y + svg.height)) {
      Fail("path point outside the viewBox: " + std::to_string(x) + " " + std::to_string(y));
    }
  }
  if (points < 2) Fail("path data with fewer than two points");
}

Svg Check(const std::string& s) {
  static const std::regex kName("[A-Za-z_:][-\\w:.]*"), kKey("\\s+[A-Za-z_:][-\\w:.]*");
  Svg svg;
  std::vector<std::string> open;  // elements open at pos
  std::size_t pos = s.compare(0, 5, "<?xml") == 0 ? s.find("?>") + 2 : 0;
  if (pos == kNone + 2) Fail("unterminated <?xml");
  int roots = 0;
  while (pos < s.size()) {
    const std::size_t lt = std::min(s.find('<', pos), s.size());
    const std::string text = s.substr(pos, lt - pos);
    CheckReferences(text);
    if (open.empty() && text.find_first_not_of(" \t\r\n") != kNone) Fail("text outside the root");
    if (lt == s.size()) break;
    const bool comment = s.compare(lt, 4, "<!--") == 0;
    const std::size_t gt = comment ? s.find("-->", lt + 4) : s.find('>', lt);
    if (gt == kNone) Fail("unterminated tag or comment");
    pos = gt + (comment ? 3 : 1);
    std::string tag = s.substr(lt + 1, gt - lt - 1);
    if (comment) continue;
    if (tag.compare(0, 1, "/") == 0) {
      if (open.empty() || open.back() != tag.substr(1)) {
        Fail("<" + tag + "> where " + (open.empty() ? "nothing" : "</" + open.back() + ">") +
             " is open");
      }
      open.pop_back();
      continue;
    }
    const bool empty = tag.compare(tag.empty() ? 0 : tag.size() - 1, 1, "/") == 0;
    tag.erase(tag.find_last_not_of(empty ? " \t\r\n/" : " \t\r\n") + 1);
    const std::string name = tag.substr(0, tag.find_first_of(" \t\r\n"));
    if (!std::regex_match(name, kName)) Fail("no element name in <" + tag + ">");
    std::map<std::string, std::string> a;
    for (std::size_t i = name.size(); i < tag.size();) {
      const std::size_t eq = tag.find("=\"", i), end = tag.find('"', eq + 2);
      const std::string key = tag.substr(i, eq - i);
      if (eq == kNone || end == kNone || !std::regex_match(key, kKey)) {
        Fail("blank, name and quoted value expected in <" + name + "> at " + tag.substr(i));
      }
      const std::string value = tag.substr(eq + 2, end - eq - 2);
      CheckReferences(value);
      if (!a.emplace(key.substr(key.find_first_not_of(" \t\r\n")), value).second) {
        Fail("attribute given twice in <" + name + ">");
      }
      i = end + 1;
    }
    if (open.empty()) {
      if (++roots > 1 || name != "svg") Fail("the root element is <" + name + ">");
      if (a["xmlns"] != "http://www.w3.org/2000/svg") Fail("not in the SVG namespace");
      std::istringstream box(a["viewBox"]);
      if (!(box >> svg.x >> svg.y >> svg.width >> svg.height) || !(svg.width > 0.0) ||
          !(svg.height > 0.0)) {
        Fail("<svg> has no viewBox of positive size");
      }
    }
    if (name == "path") CheckPath(a["d"], svg), ++svg.paths;
    if (!empty) open.push_back(name);
  }
  if (!open.empty()) Fail("<" + open.back() + "> is never closed");
  if (roots != 1) Fail("no root element");
  return svg;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: svg_check FILE PATHS\n");
    return 2;
  }
  std::ostringstream content;
  content << std::ifstream(argv[1], std::ios::binary).rdbuf();
  try {
    const int paths = Check(content.str()).paths;
    if (paths != std::atoi(argv[2])) Fail(std::to_string(paths) + " paths, expected " + argv[2]);
    std::printf("%s: ok, %d paths\n", argv[1], paths);
    return 0;
  } catch (const std::exception& problem) {
    std::fprintf(stderr, "%s: %s\n", argv[1], problem.what());
    return 1;
  }
}
