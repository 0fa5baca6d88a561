#include "platform/PrintJobCheck.h"

#include <QByteArray>

#include <cups/cups.h>

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// The newest job of this user on the queue, in any state (a job may be done before it is asked about);
// 0 when there is none.
int newestJob(const QByteArray &queue)
{
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.constData(), 1, CUPS_WHICHJOBS_ALL);
    int newest = 0;
    for (int i = 0; i < count; ++i) {
        if (jobs[i].dest && queue == jobs[i].dest)
            newest = std::max(newest, jobs[i].id);
    }
    cupsFreeJobs(count, jobs);
    return newest;
}

bool failed(ipp_status_t status)
{
    return status >= IPP_STATUS_ERROR_BAD_REQUEST;
}

QString statusText(ipp_status_t status, const QString &queue)
{
    switch (status) {
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        return QStringLiteral("プリンター「%1」は今、印刷を受け付けていません。").arg(queue);
    case IPP_STATUS_ERROR_NOT_FOUND:
        return QStringLiteral("プリンター「%1」が見つかりません。").arg(queue);
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
    case IPP_STATUS_ERROR_DEVICE:
        return QStringLiteral("印刷サーバーにつながりません（プリンター「%1」）。").arg(queue);
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
        return QStringLiteral("プリンター「%1」で印刷することが許可されていません。").arg(queue);
    default:
        return QStringLiteral("プリンター「%1」が印刷を受け付けませんでした（印刷システムのエラー 0x%2）。")
            .arg(queue)
            .arg(int(status), 4, 16, QLatin1Char('0'));
    }
}

} // namespace

std::optional<PrintJobCheck> PrintJobCheck::forPrinter(const QString &printerName, const QString &outputFile)
{
    if (!outputFile.isEmpty() || printerName.isEmpty())
        return std::nullopt;
    return PrintJobCheck(printerName);
}

PrintJobCheck::PrintJobCheck(const QString &queue) : m_queue(queue)
{
    m_lastJob = newestJob(m_queue.toLocal8Bit());
}

Status PrintJobCheck::accepted() const
{
    // The answer to the toolkit's own request, before any request of ours replaces it.
    const ipp_status_t handedOver = cupsLastError();
    const QByteArray queue = m_queue.toLocal8Bit();
    if (!failed(handedOver) && newestJob(queue) > m_lastJob)
        return {};

    // No newer job of ours: the queue's own state says whether it could have taken one. A server that
    // forgets finished jobs at once lists none, so a queue that is there and takes jobs, after a request
    // that did not fail, counts as having taken it.
    QString reason;
    if (cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), nullptr)) {
        const char *accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
        if (accepting && std::strcmp(accepting, "false") == 0)
            reason = statusText(IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS, m_queue);
        else if (failed(handedOver))
            reason = statusText(handedOver, m_queue);
        cupsFreeDests(1, dest);
    } else {
        const ipp_status_t lookup = cupsLastError();
        reason = statusText(
            lookup == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE ? lookup : IPP_STATUS_ERROR_NOT_FOUND, m_queue);
    }
    if (reason.isEmpty())
        return {};
    return Failure{.text = reason};
}

} // namespace platform
