// A picture drawn offscreen, shown over the whole canvas.
varying vec2 vAt;

void main()
{
    vAt = position.xy * 0.5 + 0.5;
    gl_Position = vec4(position.xy, 0.0, 1.0);
}
