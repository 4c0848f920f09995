#pragma once

#include "print/print_document.h"

#include <QPageLayout>

#include <functional>
#include <utility>

namespace ottavario::print {

// The pages of a print laid out on the page they will go on: a preview may
// change the paper, and lines that run from page to page must follow it.
// Documents of fixed positions ignore the page.
using PageSource = std::function<PrintDocument(const QPageLayout&)>;

// The same pages on any paper.
inline PageSource fixedPages(PrintDocument document)
{
    return [document = std::move(document)](const QPageLayout&) { return document; };
}

} // namespace ottavario::print
