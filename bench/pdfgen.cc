// pdfgen: writes a synthetic PDF for the benchmark: N pages, each with a
// small content stream, and an outline of M nested items whose
// destinations take the forms real producers write. Objects go out in the
// order pdfTeX ships them, with a classic xref table or (--object-streams 1)
// in compressed object streams found through an xref stream.
//
//   pdfgen --pages N --items M [--depth D] [--fanout F] [--page-fanout K]
//          [--dests mix|array|names|dests|goto|hyperref] [--anchors A]
//          [--name-fanout K] [--object-streams 0|1] [--image-bytes B] --out FILE
//
// --depth/--fanout shape the outline: top-level items each head a full
//   tree of that depth and fan-out, as many as needed for M items.
// --dests picks the destination forms; `mix` cycles through all five:
//   array    /Dest [page /XYZ ...]
//   names    /Dest (name), through the /Names /Dests name tree
//   dests    /Dest /name, through the catalog's /Dests dictionary
//   goto     /A << /S /GoTo /D [page /Fit] >>
//   hyperref /A << /S /GoTo /D (name) >>, the name tree's value being an
//            indirect << /D [page /XYZ ...] >> as LaTeX's hyperref writes
// --anchors adds that many name-tree entries per page that no outline item
//   uses (hyperref's page.N, equation and figure anchors).
// --image-bytes gives every page a scanned image of B bytes, as a scanner's
//   software writes a book: an image XObject drawn over the whole page,
//   its bytes incompressible noise stored as /DCTDecode data, which no
//   outline reader has cause to decode.
//
// The file is written as it is made: the images never sit in memory, so a
// gigabyte-sized book takes the generator a few megabytes.

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "deflate.h"
#include "pdf_writer.h"

namespace {

using vellox::testing::Deflate;
using vellox::testing::FileOutput;
using vellox::testing::PdfWriter;

enum class Form { kArray, kNames, kDests, kGoTo, kHyperref };

struct Options {
  long pages = 100;
  long items = 100;
  int depth = 4;
  int fanout = 4;
  int pageFanout = 6;  // pdfTeX's page tree nodes hold at most six kids
  int anchors = 1;
  int nameFanout = 32;  // entries per name tree leaf, kids per inner node
  std::string dests = "mix";
  bool objectStreams = false;
  long imageBytes = 0;
  std::string out;
};

[[noreturn]] void Usage(const char* message) {
  std::fprintf(stderr, "pdfgen: %s\n", message);
  std::fprintf(stderr,
               "usage: pdfgen --pages N --items M [--depth D] [--fanout F] "
               "[--page-fanout K] [--dests mix|array|names|dests|goto|hyperref] "
               "[--anchors A] [--name-fanout K] [--object-streams 0|1] [--image-bytes B] "
               "--out FILE\n");
  std::exit(2);
}

long Number(const char* text, long low) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0' || value < low) Usage("bad number");
  return value;
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string key = argv[i];
    if (i + 1 >= argc) Usage("option without value");
    const char* value = argv[++i];
    if (key == "--pages") o.pages = Number(value, 1);
    else if (key == "--items") o.items = Number(value, 0);
    else if (key == "--depth") o.depth = static_cast<int>(Number(value, 1));
    else if (key == "--fanout") o.fanout = static_cast<int>(Number(value, 1));
    else if (key == "--page-fanout") o.pageFanout = static_cast<int>(Number(value, 2));
    else if (key == "--anchors") o.anchors = static_cast<int>(Number(value, 0));
    else if (key == "--name-fanout") o.nameFanout = static_cast<int>(Number(value, 2));
    else if (key == "--dests") o.dests = value;
    else if (key == "--object-streams") o.objectStreams = Number(value, 0) != 0;
    else if (key == "--image-bytes") o.imageBytes = Number(value, 0);
    else if (key == "--out") o.out = value;
    else Usage("unknown option");
  }
  if (o.out.empty()) Usage("--out is needed");
  static const char* const kKnown[] = {"mix", "array", "names", "dests", "goto", "hyperref"};
  if (std::find_if(std::begin(kKnown), std::end(kKnown),
                   [&](const char* k) { return o.dests == k; }) == std::end(kKnown))
    Usage("unknown --dests");
  return o;
}

Form FormOf(const std::string& dests, long item) {
  if (dests == "array") return Form::kArray;
  if (dests == "names") return Form::kNames;
  if (dests == "dests") return Form::kDests;
  if (dests == "goto") return Form::kGoTo;
  if (dests == "hyperref") return Form::kHyperref;
  return static_cast<Form>(item % 5);
}

std::string Ref(long object) { return std::to_string(object) + " 0 R"; }

// Text for a PDF literal string: only the letters used here need no escape.
std::string Literal(const std::string& text) { return "(" + text + ")"; }

// UTF-16BE with a byte order mark, as a hex string, for titles with
// characters beyond PDFDocEncoding.
std::string Utf16Hex(const std::u16string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "<FEFF";
  for (char16_t c : text)
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(c >> shift) & 0xF]);
  return out + ">";
}

// `count` bytes of xorshift noise seeded by `seed`: no compressor shrinks
// them, as none shrinks a scan's JPEG data. Made as they are written.
void WriteNoise(PdfWriter* pdf, std::uint64_t count, std::uint64_t seed) {
  std::uint64_t state = 0x9E3779B97F4A7C15ULL * (seed + 1);
  std::array<std::uint64_t, 8192> block;
  while (count > 0) {
    for (std::uint64_t& word : block) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      word = state;
    }
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count, sizeof block));
    pdf->Write(reinterpret_cast<const char*>(block.data()), n);
    count -= n;
  }
}

// Numbered objects, written in the order a typesetter ships them: each
// page's objects (content, page, its destinations) as the page goes out,
// then everything else (fonts, page tree, outline, name tree, catalog).
class Writer {
 public:
  explicit Writer(std::size_t pages) : perPage(pages) {}

  long Reserve() {
    bodies.emplace_back();
    isStream.push_back(false);
    noiseBytes.push_back(0);
    return static_cast<long>(bodies.size());
  }
  void Set(long object, std::string body) { bodies[Slot(object)] = std::move(body); }
  long Add(std::string body) {
    const long object = Reserve();
    Set(object, std::move(body));
    return object;
  }
  // A Flate-compressed stream, as typesetters write page contents.
  long AddStream(const std::string& data) {
    const std::string packed = Deflate(data, Z_DEFAULT_COMPRESSION);
    const long object = Add("<< /Filter /FlateDecode /Length " + std::to_string(packed.size()) +
                            " >>\nstream\n" + packed + "\nendstream");
    isStream[Slot(object)] = true;
    return object;
  }
  // An image stream of `bytes` bytes of noise, made only as it is written.
  long AddImage(long bytes, int width, int height) {
    const long object = Add("<< /Type /XObject /Subtype /Image /Width " + std::to_string(width) +
                            " /Height " + std::to_string(height) +
                            " /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /DCTDecode"
                            " /Length " + std::to_string(bytes) + " >>\nstream\n");
    isStream[Slot(object)] = true;
    noiseBytes[Slot(object)] = static_cast<std::uint64_t>(bytes);
    return object;
  }
  // Writes `object` when page `page` goes out.
  void Attach(std::size_t page, long object) { perPage[page].push_back(object); }

  // With `objectStreams`, every object but a stream goes into compressed
  // object streams of 100 objects, found through a compressed xref stream,
  // as pdfTeX writes at \pdfobjcompresslevel=2; else a classic xref table.
  bool Write(const std::string& path, long root, bool objectStreams) const {
    std::vector<long> order;
    std::vector<bool> placed(bodies.size() + 1, false);
    for (const auto& objects : perPage) {
      for (long object : objects) {
        order.push_back(object);
        placed[static_cast<std::size_t>(object)] = true;
      }
    }
    for (long object = 1; object <= static_cast<long>(bodies.size()); ++object)
      if (!placed[static_cast<std::size_t>(object)]) order.push_back(object);

    FileOutput file(path);
    PdfWriter pdf(&file, "1.5");
    long next = static_cast<long>(bodies.size()) + 1;  // object streams and xref stream
    std::vector<std::pair<long, std::string>> pending;  // for the current object stream
    auto flush = [&]() {
      if (pending.empty()) return;
      pdf.AddObjectStream(next++, pending);
      pending.clear();
    };
    for (long object : order) {
      if (objectStreams && !isStream[Slot(object)]) {
        pending.emplace_back(object, Body(object));
        if (pending.size() == 100) flush();
      } else if (noiseBytes[Slot(object)] > 0) {
        pdf.BeginObject(object);
        pdf.Write(Body(object));
        WriteNoise(&pdf, noiseBytes[Slot(object)], static_cast<std::uint64_t>(object));
        pdf.Write("\nendstream");
        pdf.EndObject();
      } else {
        pdf.AddObject(object, Body(object));
      }
    }
    flush();
    if (objectStreams) {
      pdf.EndWithXrefStream(next, "/Root " + Ref(root));
    } else {
      pdf.EndWithTable("/Root " + Ref(root));
    }
    return file.Close();
  }

 private:
  std::size_t Slot(long object) const { return static_cast<std::size_t>(object - 1); }
  std::string Body(long object) const {
    const std::string& body = bodies[Slot(object)];
    return body.empty() ? std::string("null") : body;
  }

  std::vector<std::string> bodies;
  std::vector<bool> isStream;
  std::vector<std::uint64_t> noiseBytes;  // per object: an image's bytes, made when written
  std::vector<std::vector<long>> perPage;
};

// A page's content: a heading and a few lines of running text, some
// 600 bytes, like a sparse page of a typeset book.
std::string PageContent(long page) {
  std::string ops = "BT /F1 14 Tf 72 740 Td (Page " + std::to_string(page + 1) + ") Tj ET\n";
  for (int line = 0; line < 8; ++line) {
    ops += "BT /F1 10 Tf 72 " + std::to_string(700 - 14 * line) +
           " Td (Lorem ipsum dolor sit amet, consectetur adipiscing elit " +
           std::to_string(line) + ") Tj ET\n";
  }
  return ops;
}

struct Item {
  long object = 0;
  long parent = -1;  // index into items, -1 for the outline root
  std::vector<long> children;
  std::string number;  // "3.1.2"
  long descendants = 0;
};

// Items in pre-order: top-level items each with a full tree below them
// down to `depth` levels, cut off at `total` items.
std::vector<Item> OutlineShape(const Options& o) {
  std::vector<Item> items;
  items.reserve(static_cast<std::size_t>(o.items));
  struct Builder {
    const Options& o;
    std::vector<Item>& items;
    void Add(long parent, const std::string& number, int level) {
      if (static_cast<long>(items.size()) >= o.items) return;
      const auto index = static_cast<long>(items.size());
      items.emplace_back();
      items.back().parent = parent;
      items.back().number = number;
      if (parent >= 0) items[static_cast<std::size_t>(parent)].children.push_back(index);
      if (level + 1 >= o.depth) return;
      for (int k = 1; k <= o.fanout; ++k) Add(index, number + "." + std::to_string(k), level + 1);
    }
  } builder{o, items};
  for (long top = 1; static_cast<long>(items.size()) < o.items; ++top)
    builder.Add(-1, std::to_string(top), 0);
  for (std::size_t i = items.size(); i-- > 0;) {
    for (long child : items[i].children)
      items[i].descendants += 1 + items[static_cast<std::size_t>(child)].descendants;
  }
  return items;
}

}  // namespace


int main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  Writer w(static_cast<std::size_t>(o.pages));
  const long catalog = w.Reserve();
  const long font = w.Add("<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman >>");
  const long resources = w.Add("<< /Font << /F1 " + Ref(font) + " >> /ProcSet [/PDF /Text] >>");

  // Pages, and the page tree above them built bottom-up in nodes of at
  // most pageFanout kids, each with its true /Count.
  const auto pageCount = static_cast<std::size_t>(o.pages);
  std::vector<long> pageObjects(pageCount);
  for (long& object : pageObjects) object = w.Reserve();
  std::vector<long> pageParent(pageCount);
  struct PagesNode {
    long object;
    long parent;
    std::string kids;
    long count;
  };
  std::vector<PagesNode> nodes;
  std::vector<long> levelObjects = pageObjects;
  std::vector<long> levelCounts(pageCount, 1);
  std::vector<long> levelNodes(pageCount, -1);  // -1: a page
  const auto fan = static_cast<std::size_t>(o.pageFanout);
  do {
    std::vector<long> objects, counts, nodeIndices;
    for (std::size_t start = 0; start < levelObjects.size(); start += fan) {
      const std::size_t end = std::min(levelObjects.size(), start + fan);
      PagesNode node{w.Reserve(), 0, "", 0};
      for (std::size_t k = start; k < end; ++k) {
        node.kids += (k > start ? " " : "") + Ref(levelObjects[k]);
        node.count += levelCounts[k];
        if (levelNodes[k] < 0) {
          pageParent[k] = node.object;
        } else {
          nodes[static_cast<std::size_t>(levelNodes[k])].parent = node.object;
        }
      }
      objects.push_back(node.object);
      counts.push_back(node.count);
      nodeIndices.push_back(static_cast<long>(nodes.size()));
      nodes.push_back(std::move(node));
    }
    levelObjects = std::move(objects);
    levelCounts = std::move(counts);
    levelNodes = std::move(nodeIndices);
  } while (levelObjects.size() > 1);
  const long pageRoot = levelObjects.front();
  for (const PagesNode& node : nodes) {
    w.Set(node.object, "<< /Type /Pages" +
                           (node.parent != 0 ? " /Parent " + Ref(node.parent) : std::string()) +
                           " /Kids [" + node.kids + "] /Count " + std::to_string(node.count) +
                           " >>");
  }
  for (std::size_t p = 0; p < pageCount; ++p) {
    std::string pageResources = Ref(resources);
    std::string ops = PageContent(static_cast<long>(p));
    if (o.imageBytes > 0) {
      // The scan first, then its recognised text, invisible, as OCR leaves it.
      const long image = w.AddImage(o.imageBytes, 2480, 3508);
      w.Attach(p, image);
      pageResources = "<< /Font << /F1 " + Ref(font) + " >> /XObject << /Im0 " + Ref(image) +
                      " >> /ProcSet [/PDF /Text /ImageB] >>";
      ops = "q 612 0 0 792 0 0 cm /Im0 Do Q\n3 Tr\n" + ops;
    }
    const long content = w.AddStream(ops);
    w.Attach(p, content);
    w.Attach(p, pageObjects[p]);
    w.Set(pageObjects[p], "<< /Type /Page /Parent " + Ref(pageParent[p]) +
                              " /MediaBox [0 0 612 792] /Resources " + pageResources +
                              " /Contents " + Ref(content) + " >>");
  }
  auto xyz = [&](std::size_t page, long line) {
    return "[" + Ref(pageObjects[page]) + " /XYZ 72 " + std::to_string(720 - 12 * (line % 50)) +
           " null]";
  };

  // Name tree entries (name, value object) and /Dests entries.
  std::vector<std::pair<std::string, long>> names;
  std::string destsEntries;
  for (std::size_t p = 0; p < pageCount; ++p) {
    for (int a = 0; a < o.anchors; ++a) {
      const std::string name = a == 0 ? "page." + std::to_string(p + 1)
                                      : "equation." + std::to_string(p + 1) + "." + std::to_string(a);
      names.emplace_back(name, w.Add(xyz(p, a)));
      w.Attach(p, names.back().second);
    }
  }

  // The outline.
  std::vector<Item> items = OutlineShape(o);
  const long outlines = w.Reserve();
  for (Item& item : items) item.object = w.Reserve();
  auto objectOf = [&](long index) {
    return index < 0 ? outlines : items[static_cast<std::size_t>(index)].object;
  };
  std::vector<long> topLevel;
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].parent < 0) topLevel.push_back(static_cast<long>(i));
  std::vector<std::size_t> position(items.size());  // among its siblings
  for (std::size_t t = 0; t < topLevel.size(); ++t) position[static_cast<std::size_t>(topLevel[t])] = t;
  for (const Item& item : items)
    for (std::size_t c = 0; c < item.children.size(); ++c)
      position[static_cast<std::size_t>(item.children[c])] = c;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const Item& item = items[i];
    const std::vector<long>& siblings =
        item.parent < 0 ? topLevel : items[static_cast<std::size_t>(item.parent)].children;
    const std::size_t at = position[i];
    std::string title;
    if (i % 7 == 3) {
      std::u16string wide(item.number.begin(), item.number.end());
      title = Utf16Hex(wide + u" Caf\u00E9 \u2014 Section " + std::u16string(1, u'A' + i % 26));
    } else {
      title = Literal(item.number + " Section title " + std::to_string(i + 1));
    }
    std::string body = "<< /Title " + title + " /Parent " + Ref(objectOf(item.parent));
    if (at > 0) body += " /Prev " + Ref(objectOf(siblings[at - 1]));
    if (at + 1 < siblings.size()) body += " /Next " + Ref(objectOf(siblings[at + 1]));
    if (!item.children.empty()) {
      body += " /First " + Ref(objectOf(item.children.front())) + " /Last " +
              Ref(objectOf(item.children.back())) + " /Count -" +
              std::to_string(item.children.size());
    }
    const std::size_t page = static_cast<std::size_t>(
        static_cast<unsigned long long>(i) * pageCount / items.size());
    const std::string name = "section." + item.number;
    switch (FormOf(o.dests, static_cast<long>(i))) {
      case Form::kArray:
        body += " /Dest " + xyz(page, static_cast<long>(i));
        break;
      case Form::kNames:
        names.emplace_back(name, w.Add(xyz(page, static_cast<long>(i))));
        w.Attach(page, names.back().second);
        body += " /Dest " + Literal(name);
        break;
      case Form::kDests:
      {
        const long value = w.Add(xyz(page, static_cast<long>(i)));
        w.Attach(page, value);
        destsEntries += " /" + name + " " + Ref(value);
      }
        body += " /Dest /" + name;
        break;
      case Form::kGoTo:
        body += " /A << /S /GoTo /D [" + Ref(pageObjects[page]) + " /Fit] >>";
        break;
      case Form::kHyperref:
        names.emplace_back(name, w.Add("<< /D " + xyz(page, static_cast<long>(i)) + " >>"));
        w.Attach(page, names.back().second);
        body += " /A << /S /GoTo /D " + Literal(name) + " >>";
        break;
    }
    w.Set(item.object, body + " >>");
  }
  std::string outlineRoot = "<< /Type /Outlines";
  if (!topLevel.empty()) {
    outlineRoot += " /First " + Ref(objectOf(topLevel.front())) + " /Last " +
                   Ref(objectOf(topLevel.back())) + " /Count " + std::to_string(topLevel.size());
  }
  w.Set(outlines, outlineRoot + " >>");

  // The name tree, sorted by bytes, in leaves and inner nodes of
  // nameFanout, each but the root with its /Limits.
  std::string catalogEntries;
  if (!names.empty()) {
    std::sort(names.begin(), names.end());
    struct Limits {
      long object;
      std::string low, high;
    };
    std::vector<Limits> level;
    const auto k = static_cast<std::size_t>(o.nameFanout);
    for (std::size_t start = 0; start < names.size(); start += k) {
      const std::size_t end = std::min(names.size(), start + k);
      std::string entries;
      for (std::size_t i = start; i < end; ++i)
        entries += (i > start ? " " : "") + Literal(names[i].first) + " " + Ref(names[i].second);
      level.push_back(Limits{w.Reserve(), names[start].first, names[end - 1].first});
      w.Set(level.back().object, "<< /Limits [" + Literal(names[start].first) + " " +
                                     Literal(names[end - 1].first) + "] /Names [" + entries +
                                     "] >>");
    }
    while (level.size() > 1) {
      std::vector<Limits> above;
      for (std::size_t start = 0; start < level.size(); start += k) {
        const std::size_t end = std::min(level.size(), start + k);
        std::string kids;
        for (std::size_t i = start; i < end; ++i) kids += (i > start ? " " : "") + Ref(level[i].object);
        above.push_back(Limits{w.Reserve(), level[start].low, level[end - 1].high});
        w.Set(above.back().object, "<< /Limits [" + Literal(level[start].low) + " " +
                                       Literal(level[end - 1].high) + "] /Kids [" + kids + "] >>");
      }
      level = std::move(above);
    }
    // The root carries no /Limits: an inner node's /Kids, or a lone leaf's
    // /Names, under a node of its own.
    const long root = w.Add("<< /Kids [" + Ref(level.front().object) + "] >>");
    catalogEntries += " /Names << /Dests " + Ref(root) + " >>";
  }
  if (!destsEntries.empty()) catalogEntries += " /Dests " + Ref(w.Add("<<" + destsEntries + " >>"));
  w.Set(catalog, "<< /Type /Catalog /Pages " + Ref(pageRoot) + " /Outlines " + Ref(outlines) +
                     " /PageMode /UseOutlines" + catalogEntries + " >>");

  if (!w.Write(o.out, catalog, o.objectStreams)) {
    std::perror(o.out.c_str());
    return 1;
  }
  return 0;
}
