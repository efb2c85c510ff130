#include "upload/follow_page.h"

#include <cstdio>
#include <ctime>
#include <memory>

#include "gps/gps_fix.h"
#include "screens/screen_text.h"

namespace trakomer::upload {

namespace {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string IsoTime(int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    char text[32] = "";
    if (gmtime_r(&t, &parts) != nullptr)
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::string Coordinates(const TrackPoint& p) {
    char text[96];
    std::snprintf(text, sizeof text, "[%.7f,%.7f,%.1f]", p.longitude, p.latitude,
                  static_cast<double>(p.altitude));
    return text;
}

// The Summary screen's figures, in the user's units, one text each.
std::string SummaryFigures(const Track& track, const Settings& settings) {
    auto fix = std::make_unique<GpsFix>();
    ScreenInputs in;
    in.track = &track;
    in.fix = fix.get();
    in.options.userProfile = settings.mUserProfile;
    in.options.units = settings.mUnits;
    in.factors = UnitFactorsFor(settings.mUnits);
    in.currentScreen = 3;  // the elapsed time without the wall clock
    ScreenTexts texts;
    ComposeScreenText(in, texts);
    std::string out;
    for (int field : {kFieldTimer, kFieldSpeed, kFieldDistance, kFieldAltitude, kFieldAscended,
                      kFieldDescended, kFieldSlope, kFieldEnergy, kFieldPace}) {
        const std::string& text = texts.fields[static_cast<size_t>(field)].longForm;
        if (text.empty()) continue;
        out += (out.empty() ? "" : ",") + JsonString(text);
    }
    return "[" + out + "]";
}

}  // namespace

std::string FollowJsonName(const std::string& deviceId) {
    return "LL." + deviceId + ".json";
}

std::string FollowJson(const Track& track, const Settings& settings) {
    const int last = std::min(track.lastIndex, kTrackCapacity - 1);
    std::string line;
    for (int i = 0; i <= last; ++i) line += (i ? "," : "") + Coordinates(track.points[i]);
    std::string json = R"({"type":"FeatureCollection","features":[)";
    json +=
        R"({"type":"Feature","properties":{"kind":"track"},"geometry":{"type":"LineString","coordinates":[)" +
        line + "]}}";
    if (last >= 0) {
        const TrackPoint& p = track.points[last];
        char figures[160];
        std::snprintf(
            figures, sizeof figures,
            R"("speed":%.2f,"speedKmh":%.2f,"altitude":%.1f,"distanceKm":%.3f,"elapsed":%d)",
            static_cast<double>(p.speed), p.speed * 1.852, static_cast<double>(p.altitude),
            track.totalDistance * 1.852, track.elapsedSeconds);
        json += R"(,{"type":"Feature","properties":{"kind":"position","time":)" +
                JsonString(IsoTime(p.time)) + "," + figures + R"(,"summary":)" +
                SummaryFigures(track, settings) + R"(},"geometry":{"type":"Point","coordinates":)" +
                Coordinates(p) + "}}";
    }
    return json + "]}\n";
}

std::string FollowPageHtml(const std::string& deviceId, const std::string& tileUrl) {
    static const char kPage[] = R"HTML(<!DOCTYPE html>
<html><head><meta charset="utf-8"><meta name="viewport" content="width=device-width">
<title>Following @ID@</title>
<style>
body{margin:0;font:14px sans-serif;background:#eee}
#map{display:block;width:100vw;height:75vh;background:#fff}
#info{padding:6px 10px}
#summary{margin:4px 0;white-space:pre-wrap}
</style></head>
<body><canvas id="map"></canvas>
<div id="info"><div id="position">Waiting for the first position</div><pre id="summary"></pre></div>
<script>
"use strict";
const source = "@JSON@", tiles = "@TILES@", refreshMs = @REFRESH@ * 1000;
const canvas = document.getElementById("map"), ctx = canvas.getContext("2d");
const tileCache = {};
function mercator(lon, lat, zoom) {
  const n = 256 * Math.pow(2, zoom), s = Math.sin(lat * Math.PI / 180);
  return [(lon + 180) / 360 * n, (0.5 - Math.log((1 + s) / (1 - s)) / (4 * Math.PI)) * n];
}
function view(coords) {
  let zoom = 17;
  for (; zoom > 1; zoom--) {
    const xs = coords.map(c => mercator(c[0], c[1], zoom));
    const w = Math.max(...xs.map(p => p[0])) - Math.min(...xs.map(p => p[0]));
    const h = Math.max(...xs.map(p => p[1])) - Math.min(...xs.map(p => p[1]));
    if (w < canvas.width * 0.8 && h < canvas.height * 0.8) break;
  }
  const last = coords[coords.length - 1], c = mercator(last[0], last[1], zoom);
  return {zoom, x0: c[0] - canvas.width / 2, y0: c[1] - canvas.height / 2};
}
function background(v) {
  ctx.fillStyle = "#fff";
  ctx.fillRect(0, 0, canvas.width, canvas.height);
  if (tiles) {
    const n = Math.pow(2, v.zoom);
    for (let ty = Math.floor(v.y0 / 256); ty * 256 < v.y0 + canvas.height; ty++)
      for (let tx = Math.floor(v.x0 / 256); tx * 256 < v.x0 + canvas.width; tx++) {
        if (ty < 0 || ty >= n) continue;
        const x = ((tx % n) + n) % n;
        const url = tiles.replace("{z}", v.zoom).replace("{x}", x).replace("{y}", ty);
        let img = tileCache[url];
        if (!img) { img = tileCache[url] = new Image(); img.onload = draw; img.src = url; }
        if (img.complete && img.naturalWidth) ctx.drawImage(img, tx * 256 - v.x0, ty * 256 - v.y0);
      }
    return;
  }
  ctx.strokeStyle = "#ddd";
  for (let x = -((v.x0 % 64) + 64) % 64; x < canvas.width; x += 64) {
    ctx.beginPath(); ctx.moveTo(x, 0); ctx.lineTo(x, canvas.height); ctx.stroke();
  }
  for (let y = -((v.y0 % 64) + 64) % 64; y < canvas.height; y += 64) {
    ctx.beginPath(); ctx.moveTo(0, y); ctx.lineTo(canvas.width, y); ctx.stroke();
  }
}
let current = null;
function draw() {
  canvas.width = canvas.clientWidth; canvas.height = canvas.clientHeight;
  if (!current) return;
  const coords = current.track;
  if (!coords.length) return;
  const v = view(coords);
  background(v);
  const at = c => { const p = mercator(c[0], c[1], v.zoom); return [p[0] - v.x0, p[1] - v.y0]; };
  ctx.strokeStyle = "#d22"; ctx.lineWidth = 3; ctx.beginPath();
  coords.forEach((c, i) => { const p = at(c); i ? ctx.lineTo(p[0], p[1]) : ctx.moveTo(p[0], p[1]); });
  ctx.stroke();
  const p = at(coords[coords.length - 1]);
  ctx.fillStyle = "#22d"; ctx.beginPath(); ctx.arc(p[0], p[1], 7, 0, 2 * Math.PI); ctx.fill();
  const f = current.position;
  if (!f) return;
  ctx.fillStyle = "rgba(255,255,255,0.8)"; ctx.fillRect(0, 0, 260, 54);
  ctx.fillStyle = "#000"; ctx.font = "14px sans-serif";
  ctx.fillText(f.speedKmh.toFixed(1) + " km/h   " + f.distanceKm.toFixed(2) + " km", 8, 20);
  ctx.fillText(f.time, 8, 42);
}
function show(doc) {
  const track = doc.features.find(f => f.properties.kind === "track");
  const position = doc.features.find(f => f.properties.kind === "position");
  current = {track: track ? track.geometry.coordinates : [],
             position: position ? position.properties : null};
  if (position) {
    const c = position.geometry.coordinates, p = position.properties;
    const el = document.getElementById("position");
    el.textContent = "Position " + c[1].toFixed(6) + ", " + c[0].toFixed(6) + " at " + p.time +
        ", " + p.speedKmh.toFixed(1) + " km/h, " + p.distanceKm.toFixed(2) + " km";
    el.dataset.time = p.time;
    document.getElementById("summary").textContent = p.summary.join("\n");
  }
  draw();
}
function load() {
  fetch(source + "?t=" + Date.now(), {cache: "no-store"})
    .then(r => r.ok ? r.json() : Promise.reject(r.status))
    .then(show)
    .catch(() => {})
    .finally(() => setTimeout(load, refreshMs));
}
window.addEventListener("resize", draw);
load();
</script></body></html>
)HTML";
    std::string page = kPage;
    // The device identifier is letters, digits, '-' and '_'; the tile URL
    // is escaped for a JavaScript string and an HTML script.
    std::string tiles;
    for (char c : tileUrl) {
        if (c == '"' || c == '\\' || c == '<' || static_cast<unsigned char>(c) < 0x20) continue;
        tiles += c;
    }
    const std::pair<std::string, std::string> fills[] = {
        {"@ID@", deviceId},
        {"@JSON@", FollowJsonName(deviceId)},
        {"@TILES@", tiles},
        {"@REFRESH@", std::to_string(kFollowRefreshSeconds)}};
    for (const auto& [mark, value] : fills) {
        for (size_t at = page.find(mark); at != std::string::npos;
             at = page.find(mark, at + value.size()))
            page.replace(at, mark.size(), value);
    }
    return page;
}

}  // namespace trakomer::upload
