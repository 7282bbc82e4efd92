// The colour that writes a glyph's number into the page's picture of numbers, which it reads back to see what
// shows where: the number's three bytes, the lowest in red. Exact below 2^24, where a float holds every whole
// number.
vec3 numberColor(float number)
{
    return mod(floor(number / vec3(1.0, 256.0, 65536.0)), 256.0) / 255.0;
}
