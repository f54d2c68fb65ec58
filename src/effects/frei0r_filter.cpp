#include "effects/frei0r_filter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include <frei0r.h>

#include "core/ascii.h"
#include "effects/pixel_widths.h"
#include "effects/plugin_results.h"
#include "platform/shared_library.h"

namespace oskel {

namespace {

constexpr std::size_t kPlaces = 8;
constexpr int kPadding = 8;
constexpr double kSecondsPerFrame = 1.0 / 25.0;
constexpr std::size_t kTextLength = 16;

int padded(int size)
{
    return (size + kPadding - 1) / kPadding * kPadding;
}

template <typename Function> Function* entry(const SharedLibrary& library, const char* name)
{
    return reinterpret_cast<Function*>(library.symbol(name));
}

} // namespace

struct Frei0rFilter::Entries {
    decltype(&f0r_init) init = nullptr;
    decltype(&f0r_deinit) deinit = nullptr;
    decltype(&f0r_get_plugin_info) pluginInfo = nullptr;
    decltype(&f0r_get_param_info) paramInfo = nullptr;
    decltype(&f0r_construct) construct = nullptr;
    decltype(&f0r_destruct) destruct = nullptr;
    decltype(&f0r_set_param_value) setParam = nullptr;
    decltype(&f0r_get_param_value) getParam = nullptr;
    decltype(&f0r_update) update = nullptr;

    bool read(const SharedLibrary& library)
    {
        init = entry<int()>(library, "f0r_init");
        deinit = entry<void()>(library, "f0r_deinit");
        pluginInfo = entry<void(f0r_plugin_info_t*)>(library, "f0r_get_plugin_info");
        paramInfo = entry<void(f0r_param_info_t*, int)>(library, "f0r_get_param_info");
        construct = entry<f0r_instance_t(unsigned, unsigned)>(library, "f0r_construct");
        destruct = entry<void(f0r_instance_t)>(library, "f0r_destruct");
        setParam = entry<void(f0r_instance_t, f0r_param_t, int)>(library, "f0r_set_param_value");
        getParam = entry<void(f0r_instance_t, f0r_param_t, int)>(library, "f0r_get_param_value");
        update = entry<void(f0r_instance_t, double, const std::uint32_t*, std::uint32_t*)>(
            library, "f0r_update");
        return init && deinit && pluginInfo && paramInfo && construct && destruct && setParam
            && getParam && update;
    }
};

// One of the eight places: a frei0r parameter, or one part of a colour or position.
struct Frei0rFilter::Parameter {
    int index = 0;
    int type = F0R_PARAM_DOUBLE;
    int part = 0; // red, green, blue; x, y
    std::array<char, kTextLength + 1> name {};
};

struct Frei0rFilter::Instance {
    f0r_instance_t filter = nullptr;
    int width = 0;
    int height = 0;
    int paddedWidth = 0;
    int paddedHeight = 0;
    std::vector<std::uint32_t> in;
    std::vector<std::uint32_t> out;
    double time = 0.0;
    std::array<char, kTextLength + 1> display {};
    // Switches as last set: filters written with frei0r's C++ helper read a switch back
    // wrongly (its bool read as a double), so a switch's value is the one given it.
    std::array<double, kPlaces> switches {};
    std::array<bool, kPlaces> switchSet {};
};

struct Frei0rFilter::State {
    std::mutex lock; // the library-wide calls
    bool initialised = false;
    PlugInfoStruct info {};
    bool redFirst = false; // RGBA8888 rather than BGRA8888 or packed
    std::vector<Parameter> places;
};

std::shared_ptr<Frei0rFilter> Frei0rFilter::open(std::unique_ptr<SharedLibrary> library)
{
    if (!library) {
        return nullptr;
    }
    std::shared_ptr<Frei0rFilter> filter(new Frei0rFilter(std::move(library)));
    return filter->readInfo() ? filter : nullptr;
}

Frei0rFilter::Frei0rFilter(std::unique_ptr<SharedLibrary> library)
    : m_entries(std::make_unique<Entries>())
    , m_library(std::move(library))
    , m_state(std::make_unique<State>())
{
}

Frei0rFilter::~Frei0rFilter()
{
    if (m_state->initialised) {
        m_entries->deinit();
    }
}

bool Frei0rFilter::readInfo()
{
    if (!m_entries->read(*m_library) || m_entries->init() == 0) {
        return false;
    }
    m_state->initialised = true;
    f0r_plugin_info_t info {};
    m_entries->pluginInfo(&info);
    if (info.plugin_type != F0R_PLUGIN_TYPE_FILTER) {
        return false;
    }
    PlugInfoStruct& ours = m_state->info;
    ours.APIMajorVersion = 1;
    std::memcpy(ours.uniqueID, "F0R ", 4);
    const std::string name = readPluginText(info.name, kTextLength);
    std::memcpy(ours.pluginName, name.data(), std::min(name.size(), sizeof ours.pluginName));
    ours.pluginType = FF_EFFECT;
    m_state->redFirst = info.color_model == F0R_COLOR_MODEL_RGBA8888;
    for (int index = 0; index < info.num_params && m_state->places.size() < kPlaces; ++index) {
        f0r_param_info_t param {};
        m_entries->paramInfo(&param, index);
        const std::string base = readPluginText(param.name, kTextLength);
        const auto add = [&](int part, const std::string& suffix) {
            if (m_state->places.size() >= kPlaces) {
                return;
            }
            Parameter place { index, param.type, part, {} };
            const std::string named = (base + suffix).substr(0, kTextLength);
            std::memcpy(place.name.data(), named.data(), named.size());
            m_state->places.push_back(place);
        };
        if (param.type == F0R_PARAM_BOOL || param.type == F0R_PARAM_DOUBLE) {
            add(0, "");
        } else if (param.type == F0R_PARAM_COLOR) {
            add(0, " R");
            add(1, " G");
            add(2, " B");
        } else if (param.type == F0R_PARAM_POSITION) {
            add(0, " X");
            add(1, " Y");
        }
    }
    return true;
}

plugMainUnion Frei0rFilter::call(std::uint32_t function, FFParameter input, FFInstanceID id)
{
    auto* instance = reinterpret_cast<Instance*>(id);
    const auto count = static_cast<FFParameter>(m_state->places.size());
    const auto parameterOf = [&](FFParameter index) -> const Parameter* {
        return index < count ? &m_state->places.at(index) : nullptr;
    };
    // The value of a place, 0..1, as the filter holds it.
    const auto read = [&](const Parameter& place) {
        if (place.type == F0R_PARAM_COLOR) {
            f0r_param_color_t colour {};
            m_entries->getParam(instance->filter, &colour, place.index);
            return static_cast<double>(
                place.part == 0 ? colour.r : (place.part == 1 ? colour.g : colour.b));
        }
        if (place.type == F0R_PARAM_POSITION) {
            f0r_param_position_t position {};
            m_entries->getParam(instance->filter, &position, place.index);
            return place.part == 0 ? position.x : position.y;
        }
        const auto k = static_cast<std::size_t>(&place - m_state->places.data());
        if (place.type == F0R_PARAM_BOOL && instance->switchSet.at(k)) {
            return instance->switches.at(k);
        }
        double value = 0.0;
        m_entries->getParam(instance->filter, &value, place.index);
        return place.type == F0R_PARAM_BOOL ? (value > 0.5 && value <= 1.0 ? 1.0 : 0.0)
                                            : std::clamp(std::isnan(value) ? 0.0 : value, 0.0, 1.0);
    };
    switch (function) {
    case FF_GETINFO:
        return resultPointer(&m_state->info);
    case FF_INITIALISE:
        return resultCode(FF_SUCCESS); // done when the library was opened
    case FF_DEINITIALISE: {
        const std::lock_guard guard(m_state->lock);
        if (m_state->initialised) {
            m_entries->deinit();
            m_state->initialised = false;
        }
        return resultCode(FF_SUCCESS);
    }
    case FF_GETNUMPARAMETERS:
        return resultCode(static_cast<std::uint32_t>(count));
    case FF_GETPARAMETERNAME: {
        const Parameter* place = parameterOf(input);
        return place != nullptr ? resultPointer(const_cast<char*>(place->name.data()))
                                : resultCode(FF_FAIL);
    }
    case FF_GETPLUGINCAPS:
        return resultCode(input == FF_CAP_24BITVIDEO ? FF_TRUE : FF_FALSE);
    case FF_INSTANTIATE: {
        const auto* video = reinterpret_cast<const VideoInfoStruct*>(input);
        if (video == nullptr || video->frameWidth == 0 || video->frameHeight == 0
            || video->frameWidth > 16384 || video->frameHeight > 16384) {
            return resultCode(FF_FAIL);
        }
        auto made = std::make_unique<Instance>();
        made->width = static_cast<int>(video->frameWidth);
        made->height = static_cast<int>(video->frameHeight);
        made->paddedWidth = padded(made->width);
        made->paddedHeight = padded(made->height);
        const std::size_t pixels = pixelCount(made->paddedWidth, made->paddedHeight);
        made->in.assign(pixels, 0);
        made->out.assign(pixels, 0);
        {
            const std::lock_guard guard(m_state->lock);
            made->filter = m_entries->construct(static_cast<unsigned>(made->paddedWidth),
                static_cast<unsigned>(made->paddedHeight));
        }
        if (made->filter == nullptr) {
            return resultCode(FF_FAIL);
        }
        plugMainUnion result {};
        result.instance = reinterpret_cast<FFInstanceID>(made.release());
        return result;
    }
    default:
        break;
    }
    if (instance == nullptr) {
        return resultCode(FF_FAIL);
    }
    switch (function) {
    case FF_DEINSTANTIATE: {
        const std::lock_guard guard(m_state->lock);
        m_entries->destruct(instance->filter);
        delete instance;
        return resultCode(FF_SUCCESS);
    }
    case FF_GETPARAMETER: {
        const Parameter* place = parameterOf(input);
        plugMainUnion result {};
        result.fvalue = place != nullptr ? static_cast<float>(read(*place)) : 0.0f;
        return result;
    }
    case FF_GETPARAMETERDISPLAY: {
        const Parameter* place = parameterOf(input);
        if (place == nullptr) {
            return resultCode(FF_FAIL);
        }
        const double value = read(*place);
        if (place->type == F0R_PARAM_BOOL) {
            std::snprintf(instance->display.data(), instance->display.size(), "%s",
                value >= 0.5 ? "on" : "off");
        } else {
            std::snprintf(instance->display.data(), instance->display.size(), "%.3f", value);
        }
        return resultPointer(instance->display.data());
    }
    case FF_SETPARAMETER: {
        const auto* set = reinterpret_cast<const SetParameterStruct*>(input);
        const Parameter* place = set != nullptr ? parameterOf(set->index) : nullptr;
        if (place == nullptr || std::isnan(set->value)) {
            return resultCode(FF_FAIL);
        }
        const double value = std::clamp(static_cast<double>(set->value), 0.0, 1.0);
        if (place->type == F0R_PARAM_COLOR) {
            f0r_param_color_t colour {};
            m_entries->getParam(instance->filter, &colour, place->index);
            (place->part == 0 ? colour.r : (place->part == 1 ? colour.g : colour.b))
                = static_cast<float>(value);
            m_entries->setParam(instance->filter, &colour, place->index);
        } else if (place->type == F0R_PARAM_POSITION) {
            f0r_param_position_t position {};
            m_entries->getParam(instance->filter, &position, place->index);
            (place->part == 0 ? position.x : position.y) = value;
            m_entries->setParam(instance->filter, &position, place->index);
        } else {
            double stored = place->type == F0R_PARAM_BOOL ? (value >= 0.5 ? 1.0 : 0.0) : value;
            m_entries->setParam(instance->filter, &stored, place->index);
            if (place->type == F0R_PARAM_BOOL) {
                const auto k = static_cast<std::size_t>(place - m_state->places.data());
                instance->switches.at(k) = stored;
                instance->switchSet.at(k) = true;
            }
        }
        return resultCode(FF_SUCCESS);
    }
    case FF_PROCESSFRAME: {
        auto* frame = reinterpret_cast<std::uint8_t*>(input);
        if (frame == nullptr) {
            return resultCode(FF_FAIL);
        }
        toFilter(*instance, frame);
        m_entries->update(
            instance->filter, instance->time, instance->in.data(), instance->out.data());
        instance->time += kSecondsPerFrame;
        fromFilter(*instance, frame);
        return resultCode(FF_SUCCESS);
    }
    default:
        return resultCode(FF_FAIL);
    }
}

// Our rows bottom-up at 3 bytes into the filter's rows top-down at 4, opaque.
void Frei0rFilter::toFilter(Instance& instance, const std::uint8_t* frame) const
{
    const bool redFirst = m_state->redFirst;
    const std::size_t stride = static_cast<std::size_t>(instance.width) * 3;
    for (int y = 0; y < instance.height; ++y) {
        const std::uint8_t* from
            = frame + static_cast<std::size_t>(instance.height - 1 - y) * stride;
        auto* to = reinterpret_cast<std::uint8_t*>(
            instance.in.data() + static_cast<std::size_t>(y) * instance.paddedWidth);
        for (int x = 0; x < instance.width; ++x) {
            const std::uint8_t* pixel = from + x * 3;
            to[x * 4] = redFirst ? pixel[2] : pixel[0];
            to[x * 4 + 1] = pixel[1];
            to[x * 4 + 2] = redFirst ? pixel[0] : pixel[2];
            to[x * 4 + 3] = 255;
        }
    }
}

void Frei0rFilter::fromFilter(const Instance& instance, std::uint8_t* frame) const
{
    const bool redFirst = m_state->redFirst;
    const std::size_t stride = static_cast<std::size_t>(instance.width) * 3;
    for (int y = 0; y < instance.height; ++y) {
        std::uint8_t* to = frame + static_cast<std::size_t>(instance.height - 1 - y) * stride;
        const auto* from = reinterpret_cast<const std::uint8_t*>(
            instance.out.data() + static_cast<std::size_t>(y) * instance.paddedWidth);
        for (int x = 0; x < instance.width; ++x) {
            to[x * 3] = redFirst ? from[x * 4 + 2] : from[x * 4];
            to[x * 3 + 1] = from[x * 4 + 1];
            to[x * 3 + 2] = redFirst ? from[x * 4] : from[x * 4 + 2];
        }
    }
}

bool IsFrei0rFilter(const std::filesystem::path& path, SharedLibraryLoader& loader)
{
    const std::string name = path.filename().string();
    if (name.size() <= 3
        || !sameWithoutCase(std::string_view(name).substr(name.size() - 3), ".so")) {
        return false;
    }
    std::string error;
    return Frei0rFilter::open(loader.open(path, error)) != nullptr;
}

} // namespace oskel
