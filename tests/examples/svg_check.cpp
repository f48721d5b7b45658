// Checks an SVG file written by the draw_svg example:
//
//   svg_check FILE PATHS
//
// The file must be well-formed XML in the subset the example writes: an
// optional <?xml ...?> declaration, comments, elements with quoted
// attributes (no duplicates), text with only the five predefined or numeric
// character references, every element closed in order, and exactly one root.
// The root must be <svg> in the SVG namespace with a viewBox of positive
// size. There must be exactly PATHS <path> elements, each with path data made
// of absolute moves and lines ("M x y", "L x y") whose points all lie inside
// the viewBox.
//
// Prints "ok" and exits 0, or prints the first problem with its line number
// and exits 1.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Attribute {
  std::string name;
  std::string value;
};

class Checker {
 public:
  explicit Checker(std::string text) : text_(std::move(text)) {}

  // Parses the whole text; false on the first problem, which error() tells.
  bool Run() {
    SkipSpace();
    if (text_.compare(pos_, 5, "<?xml") == 0) {
      const std::size_t end = text_.find("?>", pos_);
      if (end == std::string::npos) return Fail("unterminated XML declaration");
      pos_ = end + 2;
    }
    while (pos_ < text_.size()) {
      if (text_[pos_] == '<') {
        if (!Markup()) return false;
      } else if (!Text()) {
        return false;
      }
    }
    if (!open_.empty()) return Fail("<" + open_.back() + "> is never closed");
    if (roots_ != 1) return Fail("the document has no root element");
    return true;
  }

  int paths() const { return paths_; }
  const std::string& error() const { return error_; }

 private:
  bool Fail(const std::string& message) {
    int line = 1;
    for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i)
      line += text_[i] == '\n';
    error_ = "line " + std::to_string(line) + ": " + message;
    return false;
  }

  void SkipSpace() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])))
      ++pos_;
  }

  static bool NameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == ':';
  }
  static bool NameChar(char c) {
    return NameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.';
  }

  bool Name(std::string* name) {
    if (pos_ >= text_.size() || !NameStart(text_[pos_])) return Fail("a name is expected");
    const std::size_t start = pos_;
    while (pos_ < text_.size() && NameChar(text_[pos_]))
      ++pos_;
    *name = text_.substr(start, pos_ - start);
    return true;
  }

  // A character reference at pos_ ('&'), in text or in an attribute value.
  bool Reference() {
    const std::size_t end = text_.find(';', pos_);
    if (end == std::string::npos || end - pos_ > 10) return Fail("'&' that starts no reference");
    const std::string ref = text_.substr(pos_ + 1, end - pos_ - 1);
    static const std::set<std::string> kNamed = {"lt", "gt", "amp", "quot", "apos"};
    bool ok = kNamed.count(ref) != 0;
    if (!ok && ref.size() > 1 && ref[0] == '#') {
      const bool hex = ref[1] == 'x';
      const std::string digits = ref.substr(hex ? 2 : 1);
      ok = !digits.empty();
      for (char c : digits) {
        ok = ok && (hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                        : std::isdigit(static_cast<unsigned char>(c)) != 0);
      }
    }
    if (!ok) return Fail("unknown reference &" + ref + ";");
    pos_ = end + 1;
    return true;
  }

  bool Text() {
    while (pos_ < text_.size() && text_[pos_] != '<') {
      const char c = text_[pos_];
      if (c == '&') {
        if (!Reference()) return false;
        continue;
      }
      if (open_.empty() && !std::isspace(static_cast<unsigned char>(c))) {
        return Fail("text outside the root element");
      }
      ++pos_;
    }
    return true;
  }

  bool Markup() {
    if (text_.compare(pos_, 4, "<!--") == 0) {
      const std::size_t end = text_.find("-->", pos_ + 4);
      if (end == std::string::npos) return Fail("unterminated comment");
      pos_ = end + 3;
      return true;
    }
    if (text_.compare(pos_, 2, "<?") == 0 || text_.compare(pos_, 2, "<!") == 0) {
      return Fail("declaration, DOCTYPE or CDATA inside the document");
    }
    if (text_.compare(pos_, 2, "</") == 0) {
      pos_ += 2;
      std::string name;
      if (!Name(&name)) return false;
      SkipSpace();
      if (pos_ >= text_.size() || text_[pos_] != '>') return Fail("'>' expected after </" + name);
      if (open_.empty()) return Fail("</" + name + "> closes nothing open");
      if (open_.back() != name) {
        return Fail("</" + name + "> where </" + open_.back() + "> is expected");
      }
      open_.pop_back();
      ++pos_;
      return true;
    }
    ++pos_;
    std::string name;
    if (!Name(&name)) return false;
    std::vector<Attribute> attributes;
    for (;;) {
      const std::size_t before = pos_;
      SkipSpace();
      if (pos_ >= text_.size()) return Fail("unterminated <" + name + ">");
      if (text_[pos_] == '>' || text_.compare(pos_, 2, "/>") == 0) break;
      if (pos_ == before) return Fail("blank expected between attributes of <" + name + ">");
      Attribute a;
      if (!Name(&a.name)) return false;
      for (const Attribute& other : attributes) {
        if (other.name == a.name) return Fail("attribute " + a.name + " given twice");
      }
      SkipSpace();
      if (pos_ >= text_.size() || text_[pos_] != '=') return Fail("'=' expected after " + a.name);
      ++pos_;
      SkipSpace();
      if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) {
        return Fail("quoted value expected for " + a.name);
      }
      const char quote = text_[pos_++];
      const std::size_t start = pos_;
      while (pos_ < text_.size() && text_[pos_] != quote) {
        if (text_[pos_] == '<') return Fail("'<' inside the value of " + a.name);
        if (text_[pos_] == '&') {
          if (!Reference()) return false;
        } else {
          ++pos_;
        }
      }
      if (pos_ >= text_.size()) return Fail("unterminated value of " + a.name);
      a.value = text_.substr(start, pos_ - start);
      ++pos_;
      attributes.push_back(a);
    }
    const bool empty = text_[pos_] == '/';
    if (open_.empty()) {
      if (++roots_ > 1) return Fail("a second root element <" + name + ">");
      if (!Root(name, attributes)) return false;
    }
    if (name == "path" && !Path(attributes)) return false;
    pos_ += empty ? 2 : 1;
    if (!empty) open_.push_back(name);
    return true;
  }

  static const std::string* Find(const std::vector<Attribute>& attributes, const char* name) {
    for (const Attribute& a : attributes) {
      if (a.name == name) return &a.value;
    }
    return nullptr;
  }

  bool Root(const std::string& name, const std::vector<Attribute>& attributes) {
    if (name != "svg") return Fail("the root element is <" + name + ">, not <svg>");
    const std::string* ns = Find(attributes, "xmlns");
    if (ns == nullptr || *ns != "http://www.w3.org/2000/svg") {
      return Fail("<svg> is not in the SVG namespace");
    }
    const std::string* box = Find(attributes, "viewBox");
    std::istringstream in(box != nullptr ? *box : std::string());
    if (!(in >> min_x_ >> min_y_ >> width_ >> height_) || !(width_ > 0.0) || !(height_ > 0.0)) {
      return Fail("<svg> has no viewBox of positive size");
    }
    return true;
  }

  // Path data of absolute moves and lines, every point inside the viewBox,
  // beginning with a move.
  bool Path(const std::vector<Attribute>& attributes) {
    ++paths_;
    const std::string* d = Find(attributes, "d");
    if (d == nullptr) return Fail("<path> without d");
    const char* p = d->c_str();
    int points = 0;
    while (*p != '\0') {
      while (*p == ' ' || *p == ',')
        ++p;
      if (*p == '\0') break;
      const char command = *p++;
      if (command != 'M' && command != 'L') {
        return Fail(std::string("path command '") + command + "' is not M or L");
      }
      if (points == 0 && command != 'M') return Fail("path data does not begin with M");
      double xy[2];
      for (double& v : xy) {
        while (*p == ' ' || *p == ',')
          ++p;
        char* end = nullptr;
        v = std::strtod(p, &end);
        if (end == p) return Fail("number expected in path data");
        p = end;
      }
      if (!(xy[0] >= min_x_ && xy[0] <= min_x_ + width_ && xy[1] >= min_y_ &&
            xy[1] <= min_y_ + height_)) {
        return Fail("path point outside the viewBox: " + std::to_string(xy[0]) + " " +
                    std::to_string(xy[1]));
      }
      ++points;
    }
    if (points < 2) return Fail("path data with fewer than two points");
    return true;
  }

  std::string text_;
  std::size_t pos_ = 0;
  std::vector<std::string> open_;  // names of the elements open at pos_
  int roots_ = 0;
  int paths_ = 0;
  double min_x_ = 0.0, min_y_ = 0.0, width_ = 0.0, height_ = 0.0;
  std::string error_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: svg_check FILE PATHS\n");
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "%s: cannot read\n", argv[1]);
    return 1;
  }
  std::ostringstream content;
  content << file.rdbuf();
  Checker checker(content.str());
  if (!checker.Run()) {
    std::fprintf(stderr, "%s: %s\n", argv[1], checker.error().c_str());
    return 1;
  }
  const int expected = std::atoi(argv[2]);
  if (checker.paths() != expected) {
    std::fprintf(stderr, "%s: %d paths, expected %d\n", argv[1], checker.paths(), expected);
    return 1;
  }
  std::printf("%s: ok, %d paths\n", argv[1], checker.paths());
  return 0;
}
