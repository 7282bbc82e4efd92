precision highp float;
uniform sampler2D picture;
varying vec2 vAt;

void main()
{
    gl_FragColor = texture2D(picture, vAt);
}
