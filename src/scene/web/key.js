// The key, laid out by the program as the window's: the bar of link colours through its stops, its texts, and
// a swatch a region or community, each with its name.
function linkmapKey(data) {
    'use strict';
    if (!data.key)
        return;
    const key = document.getElementById('key');
    const css = (color) => 'rgb(' + color.map((c) => Math.round(255 * Math.min(Math.max(c, 0), 1))).join(',') + ')';
    function text(each) {
        const node = document.createElement('span');
        node.className = 'key-text align' + each.alignment;
        node.textContent = each.text;
        node.style.left = each.x + 'vh';
        node.style.bottom = each.y + 'vh';
        key.appendChild(node);
    }
    function box(each, background) {
        const node = document.createElement('div');
        node.className = 'key-box';
        node.style.left = each.left + 'vh';
        node.style.bottom = each.bottom + 'vh';
        node.style.width = each.right - each.left + 'vh';
        node.style.height = each.top - each.bottom + 'vh';
        node.style.background = background;
        key.appendChild(node);
    }
    const stops = data.key.barStops.map((stop) => css(stop.color) + ' ' + (stop.share * 100).toFixed(3) + '%');
    box(data.key.bar, 'linear-gradient(to right, ' + stops.join(', ') + ')');
    data.key.barTexts.forEach(text);
    for (const swatch of data.key.swatches) {
        box(swatch.box, css(swatch.color));
        text(swatch.name);
    }
    if (data.key.sizeNote)
        text(data.key.sizeNote);
}
