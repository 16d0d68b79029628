#include "data/S2pData.h"

#include <algorithm>
#include <cmath>

double CS2pData::UnitFactor(int unit)
{
    switch (unit) {
    case HZ: return 1.0;
    case KHZ: return 1e3;
    case MHZ: return 1e6;
    default: return 1e9;
    }
}

std::string FreqUnitLabel(int unit)
{
    switch (unit) {
    case CS2pData::HZ: return "Hz";
    case CS2pData::KHZ: return "KHz";
    case CS2pData::MHZ: return "MHz";
    default: return "GHz";
    }
}

std::string CS2pData::ParamLetter(int kind)
{
    switch (kind) {
    case Y: return "Y";
    case Z: return "Z";
    case G: return "G";
    case H: return "H";
    default: return "S";
    }
}

std::string TooManyRecordsMessage()
{
    const std::string limit = std::to_string(MAX_RECORDS);
    return "File too big: more than " + limit + " frequency records. Reading only the first "
        + limit + "...";
}

std::string CS2pData::GetFreqUnitLabel() const
{
    return FreqUnitLabel(freqUnit);
}

CS2pData::PortKind CS2pData::GetPortKind() const
{
    return ports <= 2 ? TWO_PORT : ports == 3 ? THREE_PORT : FOUR_PORT;
}

void CS2pData::ResetRecords(int portCount)
{
    ports = portCount < 1 ? 1 : portCount > MAX_PORTS ? MAX_PORTS : portCount;
    freqs.clear();
    elements.clear();
}

void CS2pData::AppendRecord(double freq, const CComplex* matrix)
{
    freqs.push_back(freq);
    if (matrix)
        elements.insert(elements.end(), matrix, matrix + Cells());
    else
        elements.resize(elements.size() + Cells());
}

void CS2pData::ReserveRecords(std::size_t records)
{
    freqs.reserve(records);
    elements.reserve(records * Cells());
}

void CS2pData::SortRecords()
{
    // Instruments write ascending frequencies; moving the records about is only worth it
    // when they are not.
    if (std::is_sorted(freqs.begin(), freqs.end()))
        return;
    std::vector<std::size_t> order(freqs.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [this](std::size_t a, std::size_t b) { return freqs[a] < freqs[b]; });
    Store<double> sortedFreqs(freqs.size());
    Store<CComplex> sorted(elements.size());
    const std::size_t cells = Cells();
    for (std::size_t i = 0; i < order.size(); ++i) {
        sortedFreqs[i] = freqs[order[i]];
        std::copy_n(&elements[order[i] * cells], cells, &sorted[i * cells]);
    }
    freqs.swap(sortedFreqs);
    elements.swap(sorted);
}

void CS2pData::ConvertFreqUnit(FreqUnit target)
{
    if (target == freqUnit)
        return;
    const double multiplier = UnitFactor(freqUnit) / UnitFactor(target);
    for (double& f : freqs)
        f *= multiplier;
    freqUnit = target;
}

void CS2pData::NormalizeFreqUnit()
{
    if (freqUnit == HZ || freqUnit == KHZ)
        ConvertFreqUnit(MHZ);
}
