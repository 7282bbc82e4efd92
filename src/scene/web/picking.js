// Picking, as the window picks: what lies under a point of the canvas.
function linkmapPicking(data, records, view, stage) {
    'use strict';
    const {siteCount, linkCount, positions, ends} = records;
    const {camera, canvas} = stage;

    // The closest approach of a ray (origin o, unit direction d) to the segment from a to b: the distance
    // between them and how far along the ray, in approach[0] and approach[1]. Plain numbers, as a click on a
    // large network asks this of every link.
    const approach = [0, 0];
    function closestApproach(o, d, a, b) {
        const sx = b[0] - a[0], sy = b[1] - a[1], sz = b[2] - a[2];
        const bx = o[0] - a[0], by = o[1] - a[1], bz = o[2] - a[2];
        const length2 = sx * sx + sy * sy + sz * sz;
        const rayOffset = d[0] * bx + d[1] * by + d[2] * bz;
        let s = Math.max(0, -rayOffset);
        let u = 0;
        if (length2 > 1e-12) {
            const cosine = d[0] * sx + d[1] * sy + d[2] * sz;
            const segmentOffset = sx * bx + sy * by + sz * bz;
            const denominator = length2 - cosine * cosine;
            s = denominator > 1e-12 * length2 ? Math.max(0, (cosine * segmentOffset - rayOffset * length2) / denominator) : 0;
            u = (cosine * s + segmentOffset) / length2;
            if (u < 0) {
                u = 0;
                s = Math.max(0, -rayOffset);
            } else if (u > 1) {
                u = 1;
                s = Math.max(0, cosine - rayOffset);
            }
        }
        approach[0] = Math.hypot(o[0] + d[0] * s - a[0] - sx * u, o[1] + d[1] * s - a[1] - sy * u, o[2] + d[2] * s - a[2] - sz * u);
        approach[1] = s;
        return approach;
    }

    // The nearest site or shown link the ray through (x, y) passes through, or else the one it passes closest
    // to, within four pixels; {kind: ''} for nothing.
    return function under(x, y) {
        const o = camera.position.toArray();
        const d = new THREE.Vector3((x / canvas.clientWidth) * 2 - 1, 1 - (y / canvas.clientHeight) * 2, 0.5)
            .unproject(camera).sub(camera.position).normalize().toArray();
        const slack = 4 * 2 * Math.tan(THREE.Math.degToRad(camera.fov) / 2) / canvas.clientHeight;
        let best = {kind: '', index: 0};
        let through = false;
        let rank = Infinity;
        function offer(kind, index, [distance, along], radius) {
            if (!(along > 0))
                return;
            const hit = distance <= radius;
            const candidate = hit ? along - Math.sqrt(radius * radius - distance * distance) : (distance - radius) / along;
            if (!hit && (through || candidate > slack))
                return;
            if ((hit && !through) || candidate < rank) {
                through = hit;
                rank = candidate;
                best = {kind: kind, index: index};
            }
        }
        const a = [0, 0, 0];
        const b = [0, 0, 0];
        const at = (point, site) => {
            point[0] = positions[3 * site];
            point[1] = positions[3 * site + 1];
            point[2] = positions[3 * site + 2];
            return point;
        };
        for (let site = 0; site < siteCount; ++site)
            offer('site', site, closestApproach(o, d, at(a, site), a), data.glyphs.siteRadius * records.scaleOf(site));
        for (let link = 0; link < linkCount; ++link)
            if (view.isShown(link))
                offer('link', link, closestApproach(o, d, at(a, ends[2 * link]), at(b, ends[2 * link + 1])), data.glyphs.linkRadius);
        return best;
    };
}
