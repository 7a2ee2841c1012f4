// Writes the desktop's icons for Kestrova from the program's own mark:
//   make_icons DIR   ->  DIR/hicolor/<N>x<N>/apps/<id>.png and
//                        DIR/hicolor/scalable/apps/<id>.svg
#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdio>

#include "qt/artwork.h"
#include "ui/platform.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]) + "/hicolor/";
  const QString name = QString(kestrova::kAppId);
  for (int size : kestrova::kMarkSizes) {
    const QString folder = root + QString("%1x%1/apps/").arg(size);
    if (!QDir().mkpath(folder) || !kestrova::MarkImage(size).save(folder + name + ".png")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(folder + name + ".png"));
      return 1;
    }
  }
  QDir().mkpath(root + "scalable/apps");
  QFile svg(root + "scalable/apps/" + name + ".svg");
  if (!svg.open(QIODevice::WriteOnly) || svg.write(kestrova::MarkSvg().toUtf8()) < 0) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
    return 1;
  }
  return 0;
}
