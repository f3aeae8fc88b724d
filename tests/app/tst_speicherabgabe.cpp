#include "app/speicherabgabe.h"

#include <QTest>

#include <cstdlib>
#include <cstring>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define OHNE_EIGENES_MALLOC 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OHNE_EIGENES_MALLOC 1
#endif
#endif

class TstSpeicherabgabe : public QObject
{
    Q_OBJECT

private slots:
    void freedPicturesGoBackToTheSystem();
};

// After a large block is freed, glibc would serve the next picture-sized ones from the heap,
// where a freed picture stays with the process. Each must keep a mapping of its own.
void TstSpeicherabgabe::freedPicturesGoBackToTheSystem()
{
#if !defined(__GLIBC__) || defined(OHNE_EIGENES_MALLOC)
    QSKIP("only glibc's own allocator keeps blocks this way");
#else
    SpeicherabgabeEinrichten();
    for (const size_t mb : {32, 8, 2}) {
        const int vorher = int(mallinfo2().hblks);
        void *p = std::malloc(mb << 20);
        QVERIFY(p);
        std::memset(p, 1, mb << 20);
        QCOMPARE(int(mallinfo2().hblks), vorher + 1);
        std::free(p);
        QCOMPARE(int(mallinfo2().hblks), vorher);
    }
#endif
}

QTEST_GUILESS_MAIN(TstSpeicherabgabe)
#include "tst_speicherabgabe.moc"
