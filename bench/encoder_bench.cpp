// Benchmark of the bitmap encoders: a 512 x 64 full-colour picture (4 bands
// of 3 planes), median of 21 runs, per band plane.
#include "protocol/led.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QImage picture(512, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 512; ++x)
            picture.setPixel(x, y, qRgb((x * 7) & 255, (y * 13) & 255, (x ^ y) & 255));
    led device;
    std::vector<double> ms;
    for (int i = 0; i < 21; ++i) {
        QElapsedTimer t;
        t.start();
        device.GetDatNDS3(picture);
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("512 x 64 full colour: median %.3f ms for 12 band planes = %.4f ms a plane "
                "(min %.3f, max %.3f ms)\n",
                median, median / 12, ms.front(), ms.back());
    return 0;
}
