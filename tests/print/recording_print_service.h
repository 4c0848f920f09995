#pragma once

#include "print/print_document.h"
#include "print/print_service.h"

#include <QList>

namespace ottavario::testing {

// Keeps every document instead of printing it.
class RecordingPrintService final : public print::PrintService {
public:
    QList<print::PrintDocument> printed;
    int setups = 0;
    QList<print::PrintDocument> previewed; // laid out on the default page
    print::PrintOutcome answer; // what the next print reports

    print::PrintOutcome print(QWidget*, const print::PrintDocument& document) override
    {
        printed.append(document);
        return answer;
    }
    void setup(QWidget*) override { ++setups; }
    // What printing from the preview reports; by default it was closed.
    print::PrintOutcome previewAnswer = print::PrintOutcome::cancelled();

    print::PrintOutcome preview(QWidget*, const print::PageSource& pages) override
    {
        previewed.append(pages(pageLayout()));
        return previewAnswer;
    }
};

} // namespace ottavario::testing
